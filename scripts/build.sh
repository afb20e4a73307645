#!/usr/bin/env bash
# Configures and builds the trees:
#   native   build/native   g++, AddressSanitizer + UndefinedBehaviorSanitizer, with the tests
#   win64    build/win64    mingw-w64, with the tests (run under Wine)
#   release  build/release  optimised, no sanitizers, no tests: the Linux module and `vorelline`,
#            plus the Windows module from build/release-win64, copied to build/release/win64/,
#            and the packages in build/release/packages/: .deb, .tar.gz, Windows installer, .zip
#   release-linux            only the build/release part of `release`
#   tsan     build/tsan     ThreadSanitizer, only the three-thread stress program, which it then runs
#            long (TV_STRESS_ROUNDS rounds, 400 by default)
# Each tree is configured by its preset in CMakePresets.json (the same name), which IDEs read too.
# Usage: scripts/build.sh [native|win64|all|release|release-linux|tsan] [extra cmake --build arguments]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
which="${1:-all}"; shift || true
jobs="${TV_JOBS:-$(nproc)}"

case "$which" in
  native|win64|all|release|release-linux|tsan) ;;
  *) echo "usage: scripts/build.sh [native|win64|all|release|release-linux|tsan] [cmake --build arguments]" >&2; exit 2 ;;
esac

if [ "$which" = native ] || [ "$which" = all ]; then
  cmake -S "$here" --preset native >/dev/null
  cmake --build "$here/build/native" -j "$jobs" "$@"
fi
if [ "$which" = win64 ] || [ "$which" = all ]; then
  cmake -S "$here" --preset win64 >/dev/null
  cmake --build "$here/build/win64" -j "$jobs" "$@"
fi
if [ "$which" = release ] || [ "$which" = release-linux ]; then
  cmake -S "$here" --preset release >/dev/null
  cmake --build "$here/build/release" -j "$jobs" "$@"
fi
if [ "$which" = release ]; then
  cmake -S "$here" --preset release-win64 >/dev/null
  cmake --build "$here/build/release-win64" -j "$jobs" --target TessivaneVorelline "$@"
  # The Windows bundle beside the Linux one, so one folder holds everything a user installs.
  rm -rf "$here/build/release/win64"
  mkdir -p "$here/build/release/win64"
  cp -r "$here/build/release-win64/TessivaneVorelline.vst3" "$here/build/release/win64/"
  # The packages in build/release/packages/: .deb and .tar.gz (CPack), Windows installer and .zip.
  (cd "$here/build/release" && cpack >/dev/null)
  rm -rf "$here/build/release/packages/_CPack_Packages"
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$here/build/release/CMakeCache.txt")"
  sh "$here/packaging/windows/make-packages.sh" "$here/build/release-win64" "$here/build/release/packages" \
    "$version" >/dev/null
  echo "Release built:"
  echo "  build/release/TessivaneVorelline.vst3        (Linux module)"
  echo "  build/release/win64/TessivaneVorelline.vst3  (Windows module)"
  echo "  build/release/tools/vorelline/vorelline      (command-line tool)"
  echo "  build/release/packages/                      (packages:)"
  (cd "$here/build/release/packages" && ls -1 *.exe *.zip *.deb *.tar.gz | sed 's/^/    /')
fi
if [ "$which" = tsan ]; then
  cmake -S "$here" --preset tsan >/dev/null
  cmake --build "$here/build/tsan" -j "$jobs" --target plugin_stress "$@"
  # Any report fails the run; the audio thread keeps the whole recording path in play.
  # Without address-space randomisation: this ThreadSanitizer cannot map its shadow memory when
  # the kernel randomises with more bits than it expects.
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    setarch "$(uname -m)" -R "$here/build/tsan/tests/concurrency/plugin_stress" "${TV_STRESS_ROUNDS:-400}"
fi
