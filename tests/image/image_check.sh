#!/usr/bin/env bash
# The installer image stays small and self-contained: it imports only DLLs
# that every Windows system has, and its stripped size is within budget.
#   image_check.sh IMAGE OBJDUMP MAX_BYTES
set -euo pipefail
image=$1 objdump=$2 max_bytes=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -f "$image" ] || { echo "FAIL: no image at $image"; exit 1; }

# DLLs that ship with every supported Windows version.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|msvcrt|version|uxtheme)\.dll$'
imports=$("$objdump" -p "$image" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || fail "no import table found"
for dll in $imports; do
  [[ $dll =~ $system_dlls ]] || fail "imports $dll, which is not a system DLL"
done

"$objdump" -h "$image" | grep -q '\.debug' && fail "the image carries debug sections"
size=$(stat -c %s "$image")
[ "$size" -le "$max_bytes" ] || fail "image is $size bytes, more than $max_bytes"

echo "image $size bytes (limit $max_bytes); imports: $(echo $imports)"
[ "$failures" = 0 ]
