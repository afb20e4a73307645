#!/bin/sh
# The layer check on a small tree that breaks its rules in every way it knows, next to includes
# that keep them: it must fail and name exactly the breaches.
# Usage: check_layers_finds_breaches.sh CHECK_SCRIPT FIXTURE_DIR
set -eu
if out="$(sh "$1" "$2" 2>&1)"; then
  echo "the check passed a tree with breaches" >&2
  exit 1
fi
expected="engine/filter.cpp:2: engine may not include tools (tools/report.h)
graphics/editor.h:3: graphics may not include graphics/x11 (graphics/x11/window.h)
graphics/editor.h:5: graphics may not include vst3/abi (vst3/abi/unknown.h)
graphics/x11/window.h:4: graphics/x11 may not include graphics/headless (graphics/headless/surface.h)
raster/blit.cpp:2: raster may not include framework (framework/chunk.h)
vst3/abi/unknown.h:3: vst3/abi may not include vst3 (vst3/binding.h)
vst3/binding.cpp:2: vst3 may not include graphics/x11 (graphics/x11/window.h)
vst3/binding.cpp:4: vst3 may not include engine (engine/filter.h)"
found="$(printf '%s\n' "$out" | LC_ALL=C sort)"
if [ "$found" != "$(printf '%s\n' "$expected" | LC_ALL=C sort)" ]; then
  printf 'expected:\n%s\nfound:\n%s\n' "$expected" "$found" >&2
  exit 1
fi
echo "the check names every breach"
