#!/usr/bin/env bash
# Installs what building, testing and benchmarking need on a Debian machine. Safe to run again:
# packages already present are skipped, and apt-get update runs only when something is missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
  cmake g++ make pkg-config git
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev libpng-dev zlib1g-dev libz-mingw-w64-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libsndfile1-dev libpixman-1-dev
  libxcb1-dev libxcb-shm0-dev libxcb-xtest0-dev
  dpkg-dev xz-utils
)

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
