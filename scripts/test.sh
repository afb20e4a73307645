#!/usr/bin/env bash
# The whole test pass: set-up, both builds, then every test natively and under Wine.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" all
jobs="${TV_JOBS:-$(nproc)}"

# Wine's user interface needs a display; give it a private virtual one when there is none.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  display=":$((90 + RANDOM % 100))"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
fi
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; WINEPREFIX="${TV_WINEPREFIX:-$HOME/.wine-tessivane}" wineserver -k 2>/dev/null || true' EXIT

status=0
echo "== native tests"
(cd "$here/build/native" && ctest --output-on-failure -j "$jobs") || status=1
echo "== win64 tests under Wine"
(cd "$here/build/win64" && ctest --output-on-failure -j "$jobs") || status=1
exit $status
