#!/bin/sh
# Runs a cross-built Windows program under Wine with a private, quiet prefix.
export WINEDEBUG=-all
export WINEPREFIX="${TV_WINEPREFIX:-$HOME/.wine-tessivane}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
