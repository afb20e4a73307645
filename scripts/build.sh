#!/usr/bin/env bash
# Configures and builds both trees: build/native (g++, sanitizers on) and build/win64 (mingw-w64).
# Usage: scripts/build.sh [native|win64|all] [extra cmake --build arguments]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
which="${1:-all}"; shift || true
jobs="${TV_JOBS:-$(nproc)}"

if [ "$which" = native ] || [ "$which" = all ]; then
  cmake -S "$here" -B "$here/build/native" -DTV_SANITIZE=ON >/dev/null
  cmake --build "$here/build/native" -j "$jobs" "$@"
fi
if [ "$which" = win64 ] || [ "$which" = all ]; then
  cmake -S "$here" -B "$here/build/win64" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw-w64.cmake" >/dev/null
  cmake --build "$here/build/win64" -j "$jobs" "$@"
fi
