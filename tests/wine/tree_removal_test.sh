#!/usr/bin/env bash
# The removal of an installed tree on Wine's file system: report sequences,
# read-only, hidden and system files, missing folders, a link inside the
# tree, and the system folders the uninstaller refuses.
#   tree_removal_test.sh TREE_REMOVAL_PROBE
set -euo pipefail
probe=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/scripts/wine.sh" --prepare
drive_c=$("$root/scripts/wine.sh" --prefix)/drive_c
scratch=$(mktemp -d "$drive_c/tree-removal.XXXXXX")
log=$scratch.log
trap 'rm -rf "$scratch" "$log"; "$root/scripts/wine.sh" --stop' EXIT

# A link made from Linux: Wine shows a symbolic link to a folder as a
# reparse point, as Windows shows a junction.
linked=$scratch/linked
mkdir -p "$linked/inst" "$linked/outside"
echo keep > "$linked/outside/keep.txt"
echo installed > "$linked/inst/a.txt"
ln -s ../outside "$linked/inst/linked"

win_scratch="C:\\$(basename "$scratch")"
status=0
"$root/scripts/wine.sh" "$probe" "$win_scratch\\walks" "$win_scratch\\linked" \
  > "$log" 2>/dev/null </dev/null || status=$?
tr -d '\r' < "$log"
[ "$status" = 0 ] && grep -q '^ALL PASSED' "$log"
