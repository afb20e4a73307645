#!/usr/bin/env bash
# The main job on built-in recordings: set-up, build the release command-line tool, run its demo.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/setup.sh" --linux
bash "$here/scripts/build.sh" release-linux --target vorelline
# The editor's picture goes beside the builds unless the caller names a file.
args=("$@")
[[ " $* " == *" --png "* ]] || args+=(--png "$here/build/vorelline-demo.png")
exec "$here/build/release/tools/vorelline/vorelline" demo "${args[@]}"
