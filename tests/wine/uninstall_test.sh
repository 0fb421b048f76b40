#!/usr/bin/env bash
# Uninstall mode after a real installation, worked through the uninstall
# dialog and checked from outside: Cancel and the close box change nothing;
# OK removes the shortcuts, the uninstall entry and the installed tree,
# starts the driver installer with "uninstall" and keeps the product key;
# the status line and the bar pass through every step; a second run works
# on what is left; a missing record ends with the error box and code 1; a
# recorded folder that no installation can own is never emptied; a large
# tree keeps the dialog answering. Runs in its own copy of the prefix.
#   uninstall_test.sh PACKAGE [SCREENSHOT_FOLDER]
set -euo pipefail
package=$(realpath "$1")
shots=${2:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
source "$root/tests/wine/harness.sh"
wine_private_prefix "$work"
trap 'wine_session_stop; rm -rf "$work"' EXIT
wine_session_start
drive_c=$WINEPREFIX/drive_c
user=$(prefix_user)

forget_installation
start_menu_folder="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Parvane"
quick_launch="$drive_c/users/$user/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"
mkdir -p "$quick_launch" "$drive_c/setup"
cp "$package" "$drive_c/setup/ParvaneSetup.exe"
log=$drive_c/setup/standin.log
windows_log='C:\setup\standin.log'

folder=$(default_folder)
installed=$(win_path_to_unix "$folder")
shortcuts=("$start_menu_folder/Parvane.lnk" "$drive_c/users/Public/Desktop/Parvane.lnk"
           "$quick_launch/Parvane.lnk")
# The uninstall entry's own command, starting the copy inside the install
# folder (close_box checks that the entry holds exactly this), and the
# unquoted form that older installations wrote, which must keep working.
entry_command="\"${folder}ParvaneSetup.exe\" uninstall"
old_entry_command="${folder}ParvaneSetup.exe uninstall"
caption=卸载Parvane
question=您确定要卸载Parvane吗？

# driver_uninstall_logged: the stand-in log shows the driver installer in
# $folder started with "uninstall", its path quoted or not (it may take a
# moment to appear).
driver_uninstall_logged() {
  local text
  for _ in $(seq 1 50); do [ -s "$log" ] && break; sleep 0.1; done
  text=$(iconv -f "$system_charset" -t UTF-8 "$log" 2>/dev/null | tr -d '\r') || true
  grep -q "^InstallGuardDrv.exe	\"\?${folder//\\/\\\\}InstallGuardDrv.exe\"\? uninstall	" <<<"$text"
}

install_product() {
  check "install_$1" <<SCRIPT
$(install_through_windows '"C:\setup\ParvaneSetup.exe"' "$folder" "$windows_log")
click 2
exit 0
SCRIPT
}

# Everything on drive C but the install folder, the shortcuts, the helper
# log and the folders Wine writes into by itself.
outside_tree() {
  (cd "$drive_c" && find . \( -path "./${installed#"$drive_c"/}" -o -path ./windows/temp \
      -o -path "./users/$user/Temp" -o -path "./users/$user/AppData/Local" -o -path ./setup \
      -o -name Parvane.lnk \) -prune -o -printf '%y %s %p\n' | sort)
}

install_product first
[ "$(find "$installed" -type f | wc -l)" = 25 ] || fail "the installation left $(find "$installed" -type f | wc -l) files, not 25"
for lnk in "${shortcuts[@]}"; do [ -f "$lnk" ] || fail "no shortcut $lnk after the installation"; done
outside_tree > "$work/outside.before"
(cd "$installed" && find . -type f | sed 's#^\./##' | sort) > "$work/installed.files"

# --- Cancel and the close box while the dialog asks: nothing changes.
check cancel <<SCRIPT
start $old_entry_command
window $caption
$(shot uninstall-asking)
text 1000 $question
text 1 确定
enabled 1 1
enabled 2 1
visible 1001 0
click 2
gone $caption
exit 0
SCRIPT
keep_shot uninstall-asking
# The entry's values are there until the removal, which must take the key
# with them all (noregkey below).
check close_box <<SCRIPT
start $entry_command
window $caption
syscommand 0xF060
gone $caption
exit 0
regvalue $uninstall_key DisplayName REG_SZ $(reg_sz Parvane)
regvalue $uninstall_key UninstallString REG_SZ $(reg_sz "$entry_command")
regvalue $uninstall_key InstallLocation REG_SZ $(reg_sz "$folder")
regvalue $uninstall_key NoRepair REG_DWORD $(reg_dword 1)
SCRIPT
[ "$(find "$installed" -type f | wc -l)" = 25 ] || fail "Cancel or the close box deleted files"
for lnk in "${shortcuts[@]}"; do [ -f "$lnk" ] || fail "Cancel or the close box deleted $lnk"; done

# --- The removal, started with Enter from the copy in the install folder.
rm -f "$log"
check uninstall <<SCRIPT
env PARVANE_STANDIN_LOG $windows_log
start $entry_command
window $caption
textlog 1000
textlog 1001
key enter
waittext 1000 删除成功 30000
focus 1
$(shot uninstall-finished)
visible 1001 0
text 1 完成(&O)
enabled 1 1
enabled 2 0
# The close box and Escape do nothing once the removal has run.
syscommand 0xF060
key escape
sleep 200
visible 0 1
text 1000 删除成功
textlog-print 1000
textlog-print 1001
regvalue $product_key "install path" REG_SZ $(reg_sz "$folder")
regvalue $product_key InstallDir REG_SZ $(reg_sz "$folder")
noregkey $uninstall_key
click 1
gone $caption
exit 0
SCRIPT
keep_shot uninstall-finished

# The status line: the steps, then each handled path, then the install
# folder that stays with the running program, then the end. The driver
# prints the status texts first, then the bar's positions.
recorded() {
  awk -v part="$1" '/^textlog 100[01]:/{n++; next} n == part && /^  [0-9]+ "/' "$work/uninstall.log" |
    sed 's/^  [0-9]* "\(.*\)"$/\1/'
}
status_texts=$(recorded 0)
positions=$(recorded 1 | paste -sd' ')
first=$(head -n 3 <<<"$status_texts" | paste -sd'|')
[ "$first" = '删除卸载信息|删除驱动|删除所有程序文件，请稍候...' ] || fail "the first status texts: $first"
last=$(tail -n 2 <<<"$status_texts" | paste -sd'|')
[ "$last" = "卸载Parvane成功!|删除成功" ] || fail "the last status texts: $last"
# Every installed file was reported once, by its full path, the running
# program's among them.
reported=$(sed -n '4,$p' <<<"$status_texts" | head -n -2 | sort)
listing=$(sed "s#/#\\\\#g; s#^#${folder//\\/\\\\}#" "$work/installed.files" | sort)
[ "$reported" = "$listing" ] ||
  fail "the reported paths are not the installed files: $(diff <(echo "$reported") <(echo "$listing") | head -6)"
# 40 and 60 around the driver, 0 when the walk starts, then 100 with every
# report: 25 files and the folder kept for the running program.
expected_positions="40 60 0$(printf ' 100%.0s' $(seq 1 26))"
[ "$positions" = "$expected_positions" ] || fail "progress positions: $positions"

# What went and what stayed: the running program, and the driver installer
# when it still ran as the walk reached it.
left=$(cd "$installed" && find . | sort | paste -sd' ')
[ "$left" = ". ./ParvaneSetup.exe" ] || [ "$left" = ". ./InstallGuardDrv.exe ./ParvaneSetup.exe" ] ||
  fail "left in the install folder: $left"
for lnk in "${shortcuts[@]}"; do [ ! -e "$lnk" ] || fail "the shortcut $lnk is still there"; done
[ -d "$start_menu_folder" ] || fail "the Start-menu folder Parvane went too"
outside_tree > "$work/outside.after"
diff "$work/outside.before" "$work/outside.after" > "$work/outside.diff" ||
  fail "the uninstall changed things outside the install folder: $(head -5 "$work/outside.diff")"
driver_uninstall_logged || fail "the driver installer was not started with uninstall: $(cat "$log" 2>&1)"

# --- A second run still finds the folder, and from outside the install
# folder it removes the rest.
check second_run <<SCRIPT
start "C:\\setup\\ParvaneSetup.exe" uninstall
window $caption
click 1
waittext 1000 删除成功 30000
text 1 完成(&O)
click 1
exit 0
SCRIPT
left=$(cd "$installed" 2>/dev/null && find . | sort | paste -sd' ' || true)
[ -z "$left" ] || [ "$left" = ". ./InstallGuardDrv.exe" ] || fail "the second run left $left"
[ -d "${installed%/*}" ] || fail "the second run removed the maker's folder above the install folder"

# --- Without a recorded folder: the error box alone, then exit code 1.
reg32 delete "$product_key" /f >/dev/null
check no_product_key <<SCRIPT
start "C:\\setup\\ParvaneSetup.exe" uninstall
messagebox 错误 "Parvane 安装不完全，需要重新安装"
gone $caption 0
click 1
exit 1
SCRIPT
reg32 add "$product_key" /v Name /d Parvane /f >/dev/null
check no_install_path <<SCRIPT
start "C:\\setup\\ParvaneSetup.exe" uninstall
messagebox 错误 "Parvane 安装不完全，需要重新安装"
gone $caption 0
click 1
exit 1
SCRIPT

# --- Recorded folders that no installation can own: the removal ends with
# the reason on the status line and Finish, and nothing on drive C changes.
# A driver installer of the same name waits in the folder the uninstaller
# is started from: a recorded folder without a drive must not lead to it.
mkdir -p "$drive_c/downloads"
cp "$PARVANE_WIN32_BUILD/product/InstallGuardDrv.exe" "$drive_c/downloads/"
rm -f "$log"
# Every entry on drive C with its type, mode, size and modification time,
# folders included: a file deleted, added, rewritten or replaced, or one
# created and deleted again inside a folder, shows. Nothing is left out: a
# refused run starts no program but the uninstaller (the shortcuts and the
# uninstall entry it deletes are gone already), and under Wine 8 nothing of
# Wine's own writes on drive C meanwhile; the registry lives outside it.
drive_tree() {
  (cd "$drive_c" && find . -printf '%y %m %s %T@ %p\n' | sort -k5)
}
refused() {
  local name=$1 recorded=$2 status=$3 screenshot=${4:-}
  record_install_folder "$recorded"
  drive_tree > "$work/tree.$name.before"
  check "refused_$name" <<SCRIPT
env PARVANE_STANDIN_LOG $windows_log
cd C:\\downloads
start "C:\\setup\\ParvaneSetup.exe" uninstall
window $caption
click 1
waittext 1 完成(&O) 30000
text 1000 "$status"
$([ -z "$screenshot" ] || shot "$screenshot")
visible 1001 0
enabled 2 0
click 1
exit 0
SCRIPT
  drive_tree > "$work/tree.$name.after"
  diff "$work/tree.$name.before" "$work/tree.$name.after" > "$work/tree.$name.diff" ||
    fail "refused $name: drive C changed: $(head -n 6 "$work/tree.$name.diff")"
}
refused empty '' 程序文件没有删除：注册表中记录的安装目录是空的。
refused relative 'Tavisk\Parvane\' '程序文件没有删除：注册表中记录的安装目录不是完整的路径：Tavisk\Parvane'
refused drive_root 'C:\' '程序文件没有删除：注册表中记录的安装目录是磁盘的根目录：C:'
refused share_root '\\server\share\' '程序文件没有删除：注册表中记录的安装目录是网络共享的根目录：\\server\share'
refused profile "C:\\users\\$user\\" "程序文件没有删除：注册表中记录的安装目录是系统文件夹，或包含系统文件夹：C:\\users\\$user"
protected='程序文件没有删除：注册表中记录的安装目录是系统文件夹，或包含系统文件夹：'
refused program_files 'C:\Program Files\' "${protected}C:\\Program Files"
# On 64-bit Windows the 32-bit program's own Program Files, the 32-bit
# system folder and ProgramData are refused as well.
if [ "$(program_files)" != 'C:\Program Files' ]; then
  refused program_files_x86 "$(program_files)\\" "$protected$(program_files)"
  refused syswow64 'C:\windows\syswow64\' "${protected}C:\\windows\\syswow64"
  refused program_data 'C:\ProgramData\' "${protected}C:\\ProgramData"
fi
refused windows 'C:\windows\' '程序文件没有删除：注册表中记录的安装目录是系统文件夹，或包含系统文件夹：C:\windows' \
  uninstall-refused
keep_shot uninstall-refused
sleep 1
! grep -q '^InstallGuardDrv.exe' "$log" 2>/dev/null ||
  fail "a driver installer was started from the current folder: $(cat "$log")"

# --- A large tree: the dialog keeps answering through the walk, the About
# box opens over it mid-way, and the close box and Escape do nothing.
install_product large
mkdir -p "$installed/Extra"
for i in $(seq 1 40); do
  mkdir -p "$installed/Extra/$i"
  (cd "$installed/Extra/$i" && touch $(seq -f 'f%g.dat' 1 75))
done
# Recorded without its final backslash, the folder still leads to its own
# driver installer and is removed whole.
record_install_folder "${folder%\\}"
rm -f "$log"
check large_tree <<SCRIPT
env PARVANE_STANDIN_LOG $windows_log
start "C:\\setup\\ParvaneSetup.exe" uninstall
window $caption
click 1
syscommand 0xF060
key escape
$(shot uninstall-running 300)
sysmenu-has "关于 ParvaneSetup(&A)..."
syscommand 16
window "关于 ParvaneSetup"
text 1 确定
click 1
window $caption
watch 1000 1001 删除成功 500 120000
watch-reads-above 20
watch-progress-above 99
text 1 完成(&O)
click 1
exit 0
SCRIPT
keep_shot uninstall-running
left=$(cd "$installed" 2>/dev/null && find . | sort | paste -sd' ' || true)
[ -z "$left" ] || [ "$left" = ". ./InstallGuardDrv.exe" ] || fail "the large tree was not removed: $left"
driver_uninstall_logged ||
  fail "no driver installer started from the folder recorded without its backslash: $(cat "$log" 2>&1)"

echo "uninstall checks: $failures failed"
[ "$failures" = 0 ]
