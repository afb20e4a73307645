#!/usr/bin/env bash
# The main job on built-in recordings: set-up, build the command-line tool, run its demo.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/setup.sh"
cmake -S "$here" -B "$here/build/native" -DTV_SANITIZE=ON >/dev/null
# grep reads all of the list: with -q it would stop early and fail the pipeline.
if cmake --build "$here/build/native" --target help | grep ' vorelline$' >/dev/null; then
  cmake --build "$here/build/native" -j "$(nproc)" --target vorelline
  exec "$here/build/native/tools/vorelline/vorelline" demo "$@"
fi
cmake --build "$here/build/native" -j "$(nproc)"
echo "Built modules:"
find "$here/build/native" -maxdepth 3 -name '*.a' -o -maxdepth 3 -name '*.so' | sed "s|$here/||"
echo "The demo measurement arrives with the correction engine."
