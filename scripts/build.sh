#!/usr/bin/env bash
# Configures and builds both trees: build/native (g++, sanitizers on) and build/win64 (mingw-w64).
# `tsan` builds a third tree, build/tsan (ThreadSanitizer), with only the three-thread stress program,
# and runs it long (TV_STRESS_ROUNDS rounds, 400 by default); it is not part of `all`.
# Usage: scripts/build.sh [native|win64|all|tsan] [extra cmake --build arguments]
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
if [ "$which" = tsan ]; then
  cmake -S "$here" -B "$here/build/tsan" -DTV_SANITIZE=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" -DCMAKE_C_FLAGS="-fsanitize=thread" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
  cmake --build "$here/build/tsan" -j "$jobs" --target plugin_stress "$@"
  # Any report fails the run; the audio thread keeps the whole recording path in play.
  # Without address-space randomisation: this ThreadSanitizer cannot map its shadow memory when
  # the kernel randomises with more bits than it expects.
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    setarch "$(uname -m)" -R "$here/build/tsan/tests/concurrency/plugin_stress" "${TV_STRESS_ROUNDS:-400}"
fi
