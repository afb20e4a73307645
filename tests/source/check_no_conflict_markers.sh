#!/bin/sh
# Fails when a merge left its conflict markers in a source file. Code that the test pass does not
# compile (the benchmarks, the fuzz targets) would otherwise carry them unnoticed.
# Usage: check_no_conflict_markers.sh SOURCE_DIR
set -eu
cd "$1"
found="$(grep -rIlE '^(<{7} |>{7} |={7}$)' \
  --include='*.cpp' --include='*.h' --include='*.c' --include='*.txt' --include='*.cmake' \
  --include='*.sh' --include='*.nsi' --include='*.htm' --include='*.css' --include='*.json' \
  --exclude-dir=build --exclude-dir=.git . || true)"
if [ -n "$found" ]; then
  echo "conflict markers in:" >&2
  echo "$found" >&2
  exit 1
fi
echo "no conflict markers"
