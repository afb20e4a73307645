#!/bin/sh
# Makes the Windows packages from a build tree's bundle: TessivaneVorelline-VERSION-win64-setup.exe
# (NSIS) and TessivaneVorelline-VERSION-win64.zip (the bundle and a read-me).
# Usage: make-packages.sh BUILD_TREE OUT_DIR VERSION
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
tree="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
version="$3"
bundle="$tree/TessivaneVorelline.vst3"
test -f "$bundle/Contents/x86_64-win/TessivaneVorelline.vst3" || { echo "no Windows bundle in $tree" >&2; exit 1; }
command -v makensis >/dev/null || { echo "makensis is missing (scripts/setup.sh installs nsis)" >&2; exit 1; }

setup="$out/TessivaneVorelline-$version-win64-setup.exe"
makensis -V2 -DVERSION="$version" -DBUNDLE="$bundle" -DHELP="$source_dir/resources/help" -DOUTFILE="$setup" \
  "$here/installer.nsi" >"$out/makensis.log" 2>&1 || { cat "$out/makensis.log" >&2; exit 1; }
rm -f "$out/makensis.log"

# The zip: the bundle and the read-me at its top, the read-me with Windows line ends.
staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
cp -r "$bundle" "$staging/"
sed "s/@VERSION@/$version/g; s/\$/\r/" "$here/README.txt" >"$staging/README.txt"
zip="$out/TessivaneVorelline-$version-win64.zip"
rm -f "$zip"
(cd "$staging" && cmake -E tar cf "$zip" --format=zip README.txt TessivaneVorelline.vst3)
echo "$setup"
echo "$zip"
