#!/usr/bin/env bash
# The dialog framework and start-up code at work in real windows:
# - the framework probe chains two dialogs as the wizard does (Next ends the
#   first and runs the second from inside its handler), exchanges an edit's
#   text and a radio group both ways, dispatches a custom command through
#   the message map, loads the string table (a missing entry is empty), and
#   ends the process with 0 when the first dialog, the main window, is gone,
#   or with 2 at once when the main window cannot be created;
# - the handle owners close what they own exactly once (handles_probe);
# - the message pump of long work waits out its interval, and a status line
#   shows the program's GBK and the system's folders right, on code page 936
#   and on 1252 (message_pump_probe);
# - after the start-up restriction a DLL planted beside the program is not
#   loaded, while without it the same call loads it.
#   framework_test.sh PROBE_FOLDER
set -euo pipefail
probes=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/harness.sh"
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
wine_session_start

folder=$WINEPREFIX/drive_c/probes
rm -rf "$folder" && mkdir -p "$folder"
cp "$probes"/framework_probe.exe "$probes"/handles_probe.exe "$probes"/message_pump_probe.exe "$probes"/dll_search_probe.exe \
   "$probes"/planted_probe.dll "$folder/"

# The edit starts with its member's text, the radio group with index 1; the
# script types a new text, picks the third radio, counts twice, goes on.
check chained_dialogs <<'SCRIPT'
start "C:\probes\framework_probe.exe"
window 框架测试一
text 1001 初始文字
checked 1002 0
checked 1003 1
checked 1004 0
text 1006 0
click 1005
click 1005
sleep 200
text 1006 2
type 1001 "新的 文字"
click 1004
sleep 200
click 1
window 框架测试二
text 1010 "text=新的 文字 choice=2 string=字符串表中的文字 missing=[] window=0"
gone 框架测试一 1000
click 2
gone 框架测试二
exit 0
SCRIPT

# Escape on the first dialog ends the program just the same.
check escape < <(printf 'start "C:\\probes\\framework_probe.exe"\nwindow 框架测试一\nkey escape\nexit 0\n')

cd "$folder"
# A main window that cannot be created ends the program with 2 at once,
# instead of leaving it waiting for a message that never comes.
status=0
timeout -k 5 30 "$HARNESS_WINE" 'C:\probes\framework_probe.exe' missing > "$work/missing.log" 2>&1 || status=$?
[ "$status" = 2 ] || fail "a main window that cannot be created: exit status $status, not 2"
status=0
wine_run 'C:\probes\handles_probe.exe' > "$work/handles.log" || status=$?
[ "$status" = 0 ] || fail "handle owners: $(cat "$work/handles.log")"
status=0
wine_run 'C:\probes\message_pump_probe.exe' > "$work/pump.log" || status=$?
[ "$status" = 0 ] || fail "message pump: $(cat "$work/pump.log")"

# Wine shows the search order of LoadLibrary for a DLL the program loads
# itself; it cannot show the loader's resolution of static imports, which
# happens before any code of the program runs.
status=0
wine_run 'C:\probes\dll_search_probe.exe' plain > "$work/plain.log" || status=$?
grep -q '^LOADED' "$work/plain.log" ||
  fail "without the restriction the planted DLL should load (the control case): $(cat "$work/plain.log")"
status=0
wine_run 'C:\probes\dll_search_probe.exe' restricted > "$work/restricted.log" || status=$?
grep -q '^NOT LOADED 126' "$work/restricted.log" ||
  fail "after the restriction the planted DLL was loaded: $(cat "$work/restricted.log")"

# The pump probe's texts once more on a Western-language Windows, code page
# 1252, in its own prefix: the program's GBK must not be read as 1252, nor a
# 1252 folder as GBK.
wine_1252() { env -u WINEPREFIX PARVANE_WINE_CODEPAGE=1252 "$HARNESS_WINE" "$@"; }
status=0
cp1252_drive=$(wine_1252 --prefix)/drive_c
wine_1252 --prepare
mkdir -p "$cp1252_drive/probes"
cp "$probes"/message_pump_probe.exe "$cp1252_drive/probes/"
wine_1252 'C:\probes\message_pump_probe.exe' </dev/null > "$work/pump-1252.log" 2>&1 || status=$?
wine_1252 --stop
[ "$status" = 0 ] || fail "message pump on code page 1252: $(cat "$work/pump-1252.log")"

echo "framework checks: $failures failed"
[ "$failures" = 0 ]
