#!/usr/bin/env bash
# The installer's registry records on a real registry under Wine, with
# HKEY_LOCAL_MACHINE redirected into a fresh key of the current user:
# values byte for byte, each uninstall entry value's type and bytes both as
# passed to RegSetValueExA and as stored, the hive path copy and its bound,
# the folder read back and refused when it has no room for its NUL, the
# entry deleted with all its values while the product key stays.
#   registry_records_test.sh REGISTRY_PROBE
set -euo pipefail
probe=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
log=$(mktemp)
trap 'rm -f "$log"; "$root/scripts/wine.sh" --stop' EXIT
"$root/scripts/wine.sh" --prepare
status=0
"$root/scripts/wine.sh" "$probe" > "$log" 2>/dev/null </dev/null || status=$?
tr -d '\r' < "$log"
[ "$status" = 0 ] && grep -q '^ALL PASSED' "$log"
