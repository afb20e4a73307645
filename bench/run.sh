#!/usr/bin/env bash
# Builds the benchmarks in their own Release tree (no sanitizers) and runs them. Each prints the
# ratio it measures against its yardstick in the same run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tree="$here/build/bench"
cmake -S "$here" --preset bench >/dev/null
cmake --build "$tree" -j "${TV_JOBS:-2}" --target analysis_bench quality_bench design_bench audio_path_bench editor_redraw_bench \
  denormal_bench lock_wait_bench raster_bench
status=0
for b in analysis_bench design_bench audio_path_bench editor_redraw_bench denormal_bench; do
  echo "== $b"
  "$tree/bench/$b" "$@" || status=1
done
# A host's audio thread runs under a real-time policy; the lock wait bench's blocks do too where the
# system allows it (the run says which). Its longest calls depend on the machine's other load, so it
# runs three times: read the median of the runs and their spread.
realtime=()
if chrt -f 10 true 2>/dev/null; then realtime=(chrt -f 10); fi
for run in 1 2 3; do
  echo "== lock_wait_bench, run $run of 3, ${realtime[*]:-normal priority (no real-time policy allowed)}"
  "${realtime[@]}" "$tree/bench/lock_wait_bench" "$@" || status=1
done
echo "== quality_bench"
"$tree/bench/quality_bench" || status=1
echo "== raster_bench"
"$tree/bench/raster/raster_bench" "$@" || status=1
exit $status
