#!/usr/bin/env bash
# Installs what building, testing and benchmarking need on a Debian machine. Safe to run again:
# packages already present are skipped, and apt-get update runs only when something is missing.
# Usage: scripts/setup.sh [--all|--linux]
#   --all    (default) everything the test pass needs: both build trees, Wine, the packaging tools
#   --linux  only what the Linux release build needs: no Wine, no Windows cross-compiler
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

profile=all
case "${1:-}" in
  ""|--all) ;;
  --linux) profile=linux ;;
  -h|--help) sed -n '4,6s/^# \{0,1\}//p' "$0"; exit 0 ;;
  *) echo "setup.sh: unknown argument $1 (try --help)" >&2; exit 2 ;;
esac

# The Linux module and the command-line tool.
packages=(
  cmake g++ make pkg-config git
  libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libsndfile1-dev
  libxcb1-dev libxcb-shm0-dev
)
if [ "$profile" = all ]; then
  packages+=(
    mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    libz-mingw-w64-dev
    wine wine64 xvfb xauth
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libfftw3-dev libpixman-1-dev libxcb-xtest0-dev
    clang libclang-rt-14-dev
    dpkg-dev file xz-utils lintian nsis
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

[ "$profile" = all ] || exit 0

# Third-party libraries the Windows tree links statically, built once into build/deps/win64.
for script in "$here"/scripts/deps/*.sh; do
  [ -e "$script" ] && bash "$script"
done

# A private Wine prefix, made once, so parallel test runs never race to create it.
export WINEDEBUG=-all WINEPREFIX="${TV_WINEPREFIX:-$HOME/.wine-tessivane}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
exit 0
