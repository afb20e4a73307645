#!/bin/sh
# Installs a build tree into scratch folders as a user and as a packager would, and checks where the
# module and the tool land. Usage: check_install.sh BUILD_TREE
set -eu
tree="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
module=TessivaneVorelline.vst3/Contents/x86_64-linux/TessivaneVorelline.so

# Per user (prefix ~/.local): the module in ~/.vst3, where hosts look, the tool in ~/.local/bin.
mkdir -p "$scratch/home/.vst3/TessivaneVorelline.vst3"
touch "$scratch/home/.vst3/TessivaneVorelline.vst3/left-by-an-older-version"
HOME="$scratch/home" cmake --install "$tree" --prefix "$scratch/home/.local" >/dev/null
test -f "$scratch/home/.vst3/$module"
test -x "$scratch/home/.local/bin/vorelline"
test ! -e "$scratch/home/.vst3/TessivaneVorelline.vst3/left-by-an-older-version"
test ! -e "$scratch/home/.local/lib"

# Any other prefix: PREFIX/lib/vst3 and PREFIX/bin, and nothing in the user's folders.
HOME="$scratch/other-home" cmake --install "$tree" --prefix "$scratch/usr" >/dev/null
test -f "$scratch/usr/lib/vst3/$module"
test -x "$scratch/usr/bin/vorelline"
test ! -e "$scratch/other-home"
echo "installed layout as expected"
