#!/usr/bin/env bash
# Draws the help pages' pictures of the editor, resources/help/m1.png to m4.png.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tree="$here/build/artwork"
cmake -S "$here" -B "$tree" -DTV_BUILD_ARTWORK=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$tree" --target make_artwork -j "${TV_JOBS:-2}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$tree/resources/artwork/make_artwork" "$scratch" --help-pictures "$here/resources/help"
echo "Wrote $here/resources/help/m1.png ... m4.png"
