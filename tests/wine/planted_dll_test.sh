#!/usr/bin/env bash
# A DLL planted in the downloads folder beside the installer, under the name
# of the one system DLL the installer imports that the system does not
# always take from its own folders: COMCTL32.DLL. Wine is told to prefer a
# native copy (comctl32=n,b), as Windows would take any copy it finds.
# - The control: a program in the same folder that imports comctl32.dll
#   without the installer's manifest starts with the planted copy, which
#   says so in its log. Without this the test could not fail.
# - The installer, walked through the whole wizard from that folder (the
#   folder browser, the installation with its shortcuts and helper starts,
#   Finish): the planted copy is never loaded, its imports are resolved
#   against the common controls of the system's side-by-side store (its
#   manifest asks for them), and no library at all comes from the downloads
#   folder. Its first call restricts the library search to the system
#   folder, and that succeeds before its first window opens.
# What Wine itself loads says nothing about Windows here: Wine's own DLLs
# load uxtheme.dll, version.dll and winex11.drv by name before the
# program's first instruction, or through their delay-load imports, which
# Wine resolves without the restriction; none of them is planted.
# Runs in its own copy of the prefix.
#   planted_dll_test.sh PACKAGE PROBE_FOLDER
set -euo pipefail
package=$(realpath "$1")
probes=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
source "$root/tests/wine/harness.sh"
wine_private_prefix "$work"
trap 'wine_session_stop; rm -rf "$work"' EXIT
wine_session_start
drive_c=$WINEPREFIX/drive_c
user=$(prefix_user)
forget_installation
mkdir -p "$drive_c/users/$user/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"

downloads_win="C:\\users\\$user\\Downloads"
downloads=$(win_path_to_unix "$downloads_win")
mkdir -p "$downloads"
cp "$package" "$downloads/ParvaneSetup.exe"
cp "$probes/common_controls_import_probe.exe" "$downloads/"
cp "$probes/planted/planted_log.dll" "$downloads/COMCTL32.DLL"
log=$drive_c/planted.log
rm -f "$log"

# Only the calls that show when the search is restricted and when the first
# window opens; every other call stays out of the trace.
wine_run reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
  /d 'kernel32.SetDefaultDllDirectories;user32.DialogBoxParamW' /f >/dev/null
export PARVANE_DLL_OVERRIDES='comctl32=n,b'

# --- The control: the planted copy is found and loaded.
check control <<SCRIPT
env PLANTED_DLL_LOG C:\\planted.log
cd $downloads_win
start "$downloads_win\\common_controls_import_probe.exe"
exit 0
SCRIPT
expected="$downloads_win\\COMCTL32.DLL	$downloads_win\\common_controls_import_probe.exe"
[ "$(tr -d '\r' 2>/dev/null < "$log")" = "$expected" ] ||
  fail "the control did not load the planted COMCTL32.DLL (so nothing below can fail): log \"$(cat "$log" 2>/dev/null)\""
rm -f "$log"

# --- The installer, from the same folder with the same override.
check installer <<SCRIPT
env PLANTED_DLL_LOG C:\\planted.log
env WINEDEBUG +loaddll,+relay
cd $downloads_win
$(to_target_page "\"$downloads_win\\ParvaneSetup.exe\"")
click 1000
window 选择安装目录
click 2
gone 选择安装目录
window 安装Parvane
$(press_install '')
$install_finished
click 2
exit 0
SCRIPT
[ ! -s "$log" ] || fail "the installer loaded the planted DLL: $(cat "$log")"

# The trace of the installer's own thread: Wine's lines start with the
# thread's id, and the image itself is the first thing it loads.
trace=$work/installer.log
thread=$(grep -m1 -F 'Downloads\\ParvaneSetup.exe" at' "$trace" | cut -d: -f1 || true)
if [ -z "$thread" ]; then
  fail "no trace of the installer's loads: $(grep -v '^line' "$trace" | head -3)"
else
  grep "^$thread:" "$trace" > "$work/thread.log" || true
  grep -qiE '^[0-9a-f]+:trace:loaddll:build_module Loaded L"C:\\\\windows\\\\winsxs\\\\[^"]*common-controls[^"]*\\\\COMCTL32\.DLL"' \
    "$work/thread.log" || fail "the installer's common controls did not come from the side-by-side store"
  from_downloads=$(grep -F 'trace:loaddll' "$trace" | grep -iF "L\"${downloads_win//\\/\\\\}\\\\" |
    grep -viF '\\ParvaneSetup.exe"' || true)
  [ -z "$from_downloads" ] || fail "libraries loaded from the downloads folder: $from_downloads"
  # The restriction, as the image calls it: LOAD_LIBRARY_SEARCH_SYSTEM32,
  # answered with TRUE, before the first DialogBoxParamW.
  order=$(awk '
    /:Call KERNEL32\.SetDefaultDllDirectories\(/ { sub(/.*SetDefaultDllDirectories\(/, ""); sub(/\).*/, ""); print "restrict " $0 }
    /:Ret  KERNEL32\.SetDefaultDllDirectories\(/ { sub(/.*retval=/, ""); sub(/ .*/, ""); print "returned " $0 }
    /:Call user32\.DialogBoxParamW\(/ { print "first window" }' "$work/thread.log" | head -n 3 | paste -sd'|')
  [ "$order" = 'restrict 00000800|returned 00000001|first window' ] ||
    fail "the library search was not restricted before the first window: $order"
fi

echo "planted DLL checks: $failures failed"
[ "$failures" = 0 ]
