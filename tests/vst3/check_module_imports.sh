#!/bin/sh
# Fails when the Windows module imports anything but the system's own libraries: a module that
# needs a compiler runtime DLL next to it does not load on a machine without one.
set -eu
module="$1"
imports="$(x86_64-w64-mingw32-objdump -p "$module" | sed -n 's/^[[:space:]]*DLL Name: //p')"
[ -n "$imports" ] || { echo "no imports found in $module"; exit 1; }
status=0
for dll in $imports; do
  case "$(echo "$dll" | tr 'A-Z' 'a-z')" in
    kernel32.dll|user32.dll|gdi32.dll|shell32.dll|ole32.dll|oleaut32.dll|advapi32.dll|comdlg32.dll|\
    comctl32.dll|msimg32.dll|shlwapi.dll|wininet.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-*) ;;
    *) echo "not a system library: $dll"; status=1 ;;
  esac
done
exports="$(x86_64-w64-mingw32-objdump -p "$module" | sed -n '/Ordinal\/Name Pointer/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' |
  sort | tr '\n' ' ')"
[ "$exports" = "ExitDll GetPluginFactory InitDll " ] || { echo "unexpected exports: $exports"; status=1; }
exit $status
