#!/usr/bin/env bash
# Builds the release when needed and installs the Linux module and the command-line tool.
# Usage: scripts/install.sh [--prefix DIR]
#   default       ~/.vst3/TessivaneVorelline.vst3 and ~/.local/bin/vorelline
#   --prefix DIR  DIR/lib/vst3/TessivaneVorelline.vst3 and DIR/bin/vorelline
# Sets up and builds only what Linux needs; the Windows installer comes from scripts/build.sh release.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

prefix="$HOME/.local"
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) [ $# -ge 2 ] || { echo "install.sh: --prefix needs a folder" >&2; exit 2; }
              prefix="$2"; shift 2 ;;
    --prefix=*) prefix="${1#--prefix=}"; shift ;;
    -h|--help) sed -n '2,6s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "install.sh: unknown argument $1 (try --help)" >&2; exit 2 ;;
  esac
done
prefix="$(realpath -m "$prefix")"

bash "$here/scripts/setup.sh" --linux
bash "$here/scripts/build.sh" release-linux
cmake --install "$here/build/release" --prefix "$prefix"

if [ "$prefix" = "$HOME/.local" ]; then vst3_dir="$HOME/.vst3"; else vst3_dir="$prefix/lib/vst3"; fi
echo "Installed:"
echo "  $vst3_dir/TessivaneVorelline.vst3"
echo "  $prefix/bin/vorelline"
case ":$PATH:" in
  *":$prefix/bin:"*) ;;
  *) echo "Note: $prefix/bin is not on PATH; add it, e.g. export PATH=\"$prefix/bin:\$PATH\"" ;;
esac
