#!/usr/bin/env bash
# Renders the help pages' pictures of the editor, resources/help/m1.png to m4.png, with the plug-in's
# own editor (headless). Run after changing the editor images (scripts/make-artwork.sh) or the
# editor, and commit what it writes.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tree="$here/build/artwork"
cmake -S "$here" --preset artwork >/dev/null
cmake --build "$tree" --target make_help_pictures -j "${TV_JOBS:-2}"

# A documents folder of its own with a calibration file, so the pictures show its name and never
# depend on what lies in the user's folder.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/Documents/Tessivane Vorelline"
cat > "$scratch/Documents/Tessivane Vorelline/MeasurementMic-0815.frd" <<'FRD'
* Reference microphone, free field
20 -1.2
50 -0.4
100 0
1000 0
5000 0.6
10000 1.1
15000 0.4
20000 -1.5
FRD
HOME="$scratch" XDG_DOCUMENTS_DIR="$scratch/Documents" XDG_DATA_HOME="$scratch/data" \
  "$tree/resources/artwork/make_help_pictures" "$here/resources/help"
echo "Wrote $here/resources/help/m1.png ... m4.png"
