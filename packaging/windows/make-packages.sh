#!/bin/sh
# Makes the Windows packages from a build tree's bundle: TessivaneVorelline-VERSION-win64-setup.exe
# (NSIS) and TessivaneVorelline-VERSION-win64.zip (the bundle and a read-me). The module they ship
# is stripped of symbols and debug information, whichever tree built it.
# Usage: make-packages.sh BUILD_TREE OUT_DIR VERSION
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
tree="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
version="$3"
bundle="$tree/TessivaneVorelline.vst3"
module_path="Contents/x86_64-win/TessivaneVorelline.vst3"
test -f "$bundle/$module_path" || { echo "no Windows bundle in $tree" >&2; exit 1; }
command -v makensis >/dev/null || { echo "makensis is missing (scripts/setup.sh installs nsis)" >&2; exit 1; }
strip_tool="${TV_MINGW_STRIP:-x86_64-w64-mingw32-strip}"
command -v "$strip_tool" >/dev/null || { echo "$strip_tool is missing (mingw-w64 has it)" >&2; exit 1; }

staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
cp -r "$bundle" "$staging/"
"$strip_tool" --strip-all "$staging/TessivaneVorelline.vst3/$module_path"

# The files the installer puts in place and its uninstaller removes, each by name: the bundle's
# (under Common Files\VST3) and the help pages (under the chosen folder's Help). Folders are
# removed deepest first, and only when nothing else is in them.
help="$source_dir/resources/help"
files="$staging/files.nsh"
# printf, not echo: the Windows paths' backslashes must reach the script as they are.
line() { printf '%s\n' "$*"; }
windows() { printf '%s' "$1" | sed 's|^TessivaneVorelline.vst3||; s|/|\\|g'; }
{
  line '!macro InstallFiles'
  (cd "$staging" && find TessivaneVorelline.vst3 -type f | sort) | while read -r f; do
    line "  SetOutPath \"\${BUNDLE_DIR}$(windows "$(dirname "$f")")\""
    line "  File \"$staging/$f\""
  done
  line '  SetOutPath "$INSTDIR\Help"'
  for f in "$help"/*.htm "$help"/*.css "$help"/*.png; do
    line "  File \"$f\""
  done
  line '!macroend'
  line '!macro RemoveFiles'
  (cd "$staging" && find TessivaneVorelline.vst3 -type f | sort) | while read -r f; do
    line "  Delete \"\${BUNDLE_DIR}$(windows "$f")\""
  done
  (cd "$staging" && find TessivaneVorelline.vst3 -mindepth 1 -type d | sort -r) | while read -r d; do
    line "  RMDir \"\${BUNDLE_DIR}$(windows "$d")\""
  done
  line '  RMDir "${BUNDLE_DIR}"'
  for f in "$help"/*.htm "$help"/*.css "$help"/*.png; do
    line "  Delete \"\$INSTDIR\\Help\\$(basename "$f")\""
  done
  line '  RMDir "$INSTDIR\Help"'
  line '!macroend'
} >"$files"

setup="$out/TessivaneVorelline-$version-win64-setup.exe"
makensis -V2 -DVERSION="$version" -DFILES="$files" -DOUTFILE="$setup" \
  "$here/installer.nsi" >"$out/makensis.log" 2>&1 || { cat "$out/makensis.log" >&2; exit 1; }
rm -f "$out/makensis.log"

# The zip: the bundle and the read-me at its top, the read-me with Windows line ends.
rm -f "$files"
sed "s/@VERSION@/$version/g; s/\$/\r/" "$here/README.txt" >"$staging/README.txt"
zip="$out/TessivaneVorelline-$version-win64.zip"
rm -f "$zip"
(cd "$staging" && cmake -E tar cf "$zip" --format=zip README.txt TessivaneVorelline.vst3)
echo "$setup"
echo "$zip"
