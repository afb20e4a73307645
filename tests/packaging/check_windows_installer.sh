#!/bin/sh
# Makes the Windows installer and zip from a build tree's bundle, as the release does, and tries the
# installer under Wine in a copy of the test prefix: silent install, the files where hosts look (the
# module stripped, with its version information) and the Programs and Features entry, the validator
# on the installed bundle (when the shared tools are beside the checkout), then silent uninstall,
# after which the prefix holds what it held before and the files a user put beside ours.
# Usage: check_windows_installer.sh BUILD_TREE SOURCE_DIR VERSION
set -eu
tree="$1"
source_dir="$2"
version="$3"
scratch="$(mktemp -d)"
fail() { echo "FAIL: $*" >&2; exit 1; }

out="$scratch/out"
sh "$source_dir/packaging/windows/make-packages.sh" "$tree" "$out" "$version" >/dev/null
setup="$out/TessivaneVorelline-$version-win64-setup.exe"
zip="$out/TessivaneVorelline-$version-win64.zip"
test -s "$setup" || fail "no installer"
listing="$(cmake -E tar tf "$zip" | grep -v '/$' | sort)"
expected="README.txt
TessivaneVorelline.vst3/Contents/x86_64-win/TessivaneVorelline.vst3"
[ "$listing" = "$expected" ] || fail "the zip holds
$listing"

# A prefix of our own: the installer's processes are waited for alone, and nothing it leaves behind
# reaches other tests.
base="${TV_WINEPREFIX:-$HOME/.wine-tessivane}"
test -f "$base/system.reg" || fail "no Wine prefix at $base (scripts/setup.sh makes it)"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
cp -a "$base" "$WINEPREFIX"
drive="$WINEPREFIX/drive_c"
# Everything on drive C but the temporary folders, which installers use and Windows cleans.
snapshot() { (cd "$drive" && find . -path '*/Temp' -prune -o -path './windows' -prune -o -print | sort); }
snapshot >"$scratch/before"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TessivaneVorelline'

wine "$setup" /S || fail "silent install exited with $?"
wineserver -w
module="$drive/Program Files/Common Files/VST3/TessivaneVorelline.vst3/Contents/x86_64-win/TessivaneVorelline.vst3"
built="$tree/TessivaneVorelline.vst3/Contents/x86_64-win/TessivaneVorelline.vst3"
# The installed module is the zip's, and the built one's code without symbols or debug information.
(cd "$scratch" && cmake -E tar xf "$zip" TessivaneVorelline.vst3)
cmp "$module" "$scratch/TessivaneVorelline.vst3/Contents/x86_64-win/TessivaneVorelline.vst3" ||
  fail "the installed module is not the zip's"
code() { x86_64-w64-mingw32-objcopy -O binary --only-section=.text "$1" "$2"; }
code "$module" "$scratch/installed.text"
code "$built" "$scratch/built.text"
cmp -s "$scratch/installed.text" "$scratch/built.text" || fail "the installed module's code is not the built one's"
! x86_64-w64-mingw32-objdump -h "$module" | grep -q '\.debug' || fail "the installed module has debug sections"
x86_64-w64-mingw32-objdump -t "$module" | grep -qx 'no symbols' || fail "the installed module has a symbol table"
# Its version information, as the file's properties show it.
info="$(strings -el "$module")"
for pair in "ProductName=Tessivane Vorelline" "ProductVersion=$version" "FileVersion=$version" \
            "CompanyName=tessivane-vorelline.example"; do
  name="${pair%%=*}"
  [ "$(printf '%s\n' "$info" | grep -x -A1 "$name" | sed -n 2p)" = "${pair#*=}" ] ||
    fail "the module's version information lacks $pair"
done
for page in 1.htm 2.htm 3.htm style.css m1.png; do
  test -f "$drive/Program Files/Tessivane Vorelline/Help/$page" || fail "help page $page missing"
done
# A Wine program can fail to start on a loaded machine (its output is then empty): ask again a few
# times before taking a missing entry for the installer's fault.
entry=""
for attempt in 1 2 3 4 5; do
  entry="$(wine reg query "$key" 2>"$scratch/reg.err" | tr -d '\r')" || true
  case "$entry" in *DisplayName*) break ;; esac
  wineserver -w
  sleep 1
done
for value in "DisplayName    REG_SZ    Tessivane Vorelline" "DisplayVersion    REG_SZ    $version" \
             "UninstallString    REG_SZ    \"C:\\Program Files\\Tessivane Vorelline\\Uninstall.exe\"" \
             "DisplayIcon    REG_SZ    C:\\Program Files\\Tessivane Vorelline\\Uninstall.exe,0"; do
  case "$entry" in *"$value"*) ;; *) fail "Programs and Features entry lacks: $value
$entry
$(cat "$scratch/reg.err")" ;; esac
done
# The size shown is that of the installed files, in KB (each file rounded up).
shown="$(printf '%s\n' "$entry" | sed -n 's/^ *EstimatedSize *REG_DWORD *0x\([0-9a-fA-F]*\).*/\1/p')"
[ -n "$shown" ] || fail "Programs and Features entry lacks EstimatedSize:
$entry"
shown=$((0x$shown))
installed=0
for f in "$module" "$drive/Program Files/Tessivane Vorelline/Help/"*; do
  installed=$((installed + ($(stat -c %s "$f") + 1023) / 1024))
done
[ "$shown" -ge $((installed * 9 / 10)) ] && [ "$shown" -le $((installed * 11 / 10 + 4)) ] ||
  fail "EstimatedSize is $shown KB for $installed KB of installed files"

validator="$source_dir/../shared/tools/vst3-validator.exe"
if [ -f "$validator" ]; then
  report="$(wine "$validator" -e 'C:\Program Files\Common Files\VST3\TessivaneVorelline.vst3' 2>&1 | tr -d '\r')" || true
  echo "$report" | grep -q "tests passed, 0 tests failed" || fail "validator:
$report"
  ! echo "$report" | grep -q ERROR || fail "validator reported errors:
$report"
  echo "validator: $(echo "$report" | grep "tests passed")"
else
  echo "SKIPPED the validator on the installed bundle: $validator is absent"
fi

# A user's own files beside ours: notes in the Help folder, the folder settings Windows writes into a
# folder it shows. Uninstalling keeps them, and the folders that hold them.
own="Program Files/Tessivane Vorelline/Help/my notes.txt
Program Files/Common Files/VST3/TessivaneVorelline.vst3/desktop.ini"
newline='
'
IFS="$newline"
for f in $own; do echo "the user's" >"$drive/$f"; done
unset IFS

uninstaller="C:\\Program Files\\Tessivane Vorelline\\Uninstall.exe"
wine "$uninstaller" /S || fail "silent uninstall exited with $?"
# The uninstaller runs from a copy in the temporary folder and returns at once: wait for it.
wineserver -w
snapshot >"$scratch/after"
# What is left is exactly the user's files and the folders above them that were not there before.
IFS="$newline"
for f in $own; do
  [ "$(cat "$drive/$f" 2>/dev/null)" = "the user's" ] || fail "uninstalling removed the user's $f"
  while [ "$f" != . ]; do echo "./$f"; f="$(dirname "$f")"; done
done >"$scratch/own"
unset IFS
sort -u "$scratch/own" | comm -23 - "$scratch/before" >"$scratch/kept"
comm -23 "$scratch/before" "$scratch/after" >"$scratch/removed"
comm -13 "$scratch/before" "$scratch/after" >"$scratch/left"
[ ! -s "$scratch/removed" ] || fail "uninstalling removed what was there before:
$(cat "$scratch/removed")"
cmp -s "$scratch/left" "$scratch/kept" || fail "uninstalling left:
$(diff "$scratch/kept" "$scratch/left")"
# The registry as Wine saved it once its server ended (wineserver -w above): read from the file, so
# a reg program that failed to start cannot pass for a removed key.
if grep -q 'CurrentVersion\\\\Uninstall\\\\TessivaneVorelline\]' "$WINEPREFIX/system.reg"; then
  fail "the Programs and Features entry is still there"
fi
echo "installed, validated and uninstalled cleanly: $(basename "$setup")"
