#!/usr/bin/env bash
# The installer image stays small and self-contained: it imports only DLLs
# that every Windows system has, its stripped size is within budget, and it
# carries its manifest and version resource.
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

# Resource data is stored as is: the manifest as UTF-8, version strings as
# UTF-16LE.
contains_text() { LC_ALL=C grep -q -a -F -- "$1" "$image"; }
contains_utf16() {
  local pattern
  pattern=$(printf '%s' "$1" | sed 's/./&\\x00/g')
  LC_ALL=C grep -q -a -P -- "$pattern" "$image"
}
contains_text 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' ||
  fail "no manifest asking for common controls 6.0.0.0"
contains_text 'requestedExecutionLevel level="requireAdministrator"' ||
  fail "the manifest does not ask for administrator rights"
for text in InternalName ParvaneSetup OriginalFilename ParvaneSetup.EXE 1.0.0.1; do
  contains_utf16 "$text" || fail "no version resource string $text"
done

echo "image $size bytes (limit $max_bytes); imports: $(echo $imports)"
[ "$failures" = 0 ]
