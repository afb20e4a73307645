#!/usr/bin/env bash
# Configures and builds the trees:
#   native   build/native   g++, AddressSanitizer + UndefinedBehaviorSanitizer, with the tests
#   win64    build/win64    mingw-w64, with the tests (run under Wine)
#   release  build/release  optimised, no sanitizers, no tests: the Linux module and `vorelline`,
#            plus the Windows module from build/release-win64, copied to build/release/win64/
#   release-linux            only the build/release part of `release`
# Usage: scripts/build.sh [native|win64|all|release|release-linux] [extra cmake --build arguments]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
which="${1:-all}"; shift || true
jobs="${TV_JOBS:-$(nproc)}"
toolchain="$here/cmake/toolchain-mingw-w64.cmake"

case "$which" in
  native|win64|all|release|release-linux) ;;
  *) echo "usage: scripts/build.sh [native|win64|all|release|release-linux] [cmake --build arguments]" >&2; exit 2 ;;
esac

if [ "$which" = native ] || [ "$which" = all ]; then
  cmake -S "$here" -B "$here/build/native" -DTV_SANITIZE=ON >/dev/null
  cmake --build "$here/build/native" -j "$jobs" "$@"
fi
if [ "$which" = win64 ] || [ "$which" = all ]; then
  cmake -S "$here" -B "$here/build/win64" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
  cmake --build "$here/build/win64" -j "$jobs" "$@"
fi
release_options=(-DCMAKE_BUILD_TYPE=Release -DTV_SANITIZE=OFF -DTV_BUILD_TESTS=OFF -DTV_BUILD_BENCH=OFF)
if [ "$which" = release ] || [ "$which" = release-linux ]; then
  cmake -S "$here" -B "$here/build/release" "${release_options[@]}" >/dev/null
  cmake --build "$here/build/release" -j "$jobs" "$@"
fi
if [ "$which" = release ]; then
  cmake -S "$here" -B "$here/build/release-win64" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${release_options[@]}" >/dev/null
  cmake --build "$here/build/release-win64" -j "$jobs" --target TessivaneVorelline "$@"
  # The Windows bundle beside the Linux one, so one folder holds everything a user installs.
  rm -rf "$here/build/release/win64"
  mkdir -p "$here/build/release/win64"
  cp -r "$here/build/release-win64/TessivaneVorelline.vst3" "$here/build/release/win64/"
  echo "Release built:"
  echo "  build/release/TessivaneVorelline.vst3        (Linux module)"
  echo "  build/release/win64/TessivaneVorelline.vst3  (Windows module)"
  echo "  build/release/tools/vorelline/vorelline      (command-line tool)"
fi
