#!/usr/bin/env bash
# Builds the libFuzzer targets in build/fuzz (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for the given number of seconds, one after another, at the lowest priority.
# A tool, not part of the test pass (which replays the committed corpora).
# Usage: scripts/fuzz.sh SECONDS [target ...]   targets: calibration png alg state process
# New interesting inputs go to build/fuzz/corpus/<target> (seeded from fuzz/corpus/<target>);
# crashes to build/fuzz/artifacts/<target>/. Copy small, interesting ones into fuzz/corpus/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:?usage: scripts/fuzz.sh SECONDS [target ...]}"; shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(calibration png alg state process)
tree="$here/build/fuzz"

# The preset `fuzz` (CMakePresets.json) picks clang and the sanitizer flags.
cmake -S "$here" --preset fuzz >/dev/null
nice -n 19 cmake --build "$tree" -j "${TV_JOBS:-2}" --target "${targets[@]/%/_fuzzer}"

status=0
for t in "${targets[@]}"; do
  corpus="$tree/corpus/$t"
  artifacts="$tree/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  echo "== $t for ${seconds}s"
  # -timeout: a single input that runs for a minute is a finding too.
  if ! nice -n 19 "$tree/fuzz/${t}_fuzzer" "$corpus" "$here/fuzz/corpus/$t" -max_total_time="$seconds" \
      -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" \
      2>"$tree/$t.log"; then
    echo "$t: finding, see $tree/$t.log and $artifacts"
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::new_units_added" "$tree/$t.log" || true
done
exit $status
