#!/usr/bin/env bash
# The DLL's export directory is named BRM7.dll and exports main; it imports
# only Windows system DLLs (everything else is linked statically).
set -eu
objdump=$1
dll=$2
dump=$("$objdump" -p "$dll")
echo "$dump" | grep -q 'Name .*BRM7.dll' || { echo "export directory is not named BRM7.dll" >&2; exit 1; }
exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^[[:space:]]*\[ *[0-9]+\] ' | awk '{print $NF}' | sort | tr '\n' ' ')
case "$exports" in
  "main "|"VSTPluginMain main ") ;;
  *) echo "unexpected exports: $exports" >&2; exit 1 ;;
esac
imports=$(echo "$dump" | awk '/DLL Name:/ {print tolower($3)}' | sort -u | tr '\n' ' ')
for library in $imports; do
  case "$library" in
    kernel32.dll|msvcrt.dll|user32.dll|gdi32.dll|ole32.dll|shell32.dll|winmm.dll|oleaut32.dll|advapi32.dll|comctl32.dll) ;;
    *) echo "unexpected import: $library" >&2; exit 1 ;;
  esac
done
echo "exports: $exports; imports: $imports"
