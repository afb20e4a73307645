#!/usr/bin/env bash
# Draws the editor's images into resources/img/ with the artwork generator (resources/artwork/).
# The PNGs are committed; run this after changing the generator and commit what it writes.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tree="$here/build/artwork"
cmake -S "$here" --preset artwork >/dev/null
cmake --build "$tree" --target make_artwork -j "${TV_JOBS:-2}"
"$tree/resources/artwork/make_artwork" "$here/resources/img"
echo "Wrote $here/resources/img/*.png"
