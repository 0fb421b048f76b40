#!/usr/bin/env bash
# A complete installation, worked through the windows and checked from
# outside: the files, the registry values byte for byte, the shortcuts read
# by an independent parser, the helper programs' starts; a second install
# elsewhere, a third beside other programs, and a reinstall over the
# recorded installation; and the failures that must stop an installation
# before it writes or registers anything: folders no installation may own
# or that hold files of others, a damaged package, an unwritable folder, a
# full disk. Runs in its own copy of the prefix.
#   install_test.sh PACKAGE PARVANE_PACK [SCREENSHOT_FOLDER]
set -euo pipefail
package=$(realpath "$1") pack=$(realpath "$2")
shots=${3:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
mounted=
cleanup() {
  wine_session_stop
  [ -z "$mounted" ] || umount "$mounted" 2>/dev/null || true
  rm -rf "$work"
}
source "$root/tests/wine/harness.sh"
wine_private_prefix "$work"
trap cleanup EXIT
wine_session_start
drive_c=$WINEPREFIX/drive_c
user=$(prefix_user)

control_key='HKLM\SYSTEM\CurrentControlSet\Control'

# The copy starts without any earlier installation (make run installs into
# the project's prefix).
forget_installation

# The shortcut in Quick Launch needs its folder, which Wine does not make.
quick_launch="$drive_c/users/$user/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"
mkdir -p "$quick_launch"
mkdir -p "$drive_c/setup"
cp "$package" "$drive_c/setup/ParvaneSetup.exe"
# The stand-in helpers record their starts here.
log=$drive_c/setup/standin.log
windows_log='C:\setup\standin.log'

# What the package holds, as the host build extracts it.
"$pack" extract "$package" "$work/expected" >/dev/null

# The installed size the uninstall entry shows: the package's inflated
# sizes in KiB, rounded up. The files it extracts must add up to as much.
inflated=$(package_entries "$pack" "$package" | awk '$3 > 0 { sum += $3 } END { print sum + 0 }')
extracted=$(find "$work/expected" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum + 0 }')
[ "$inflated" -gt 0 ] && [ "$inflated" = "$extracted" ] ||
  fail "the package's inflated sizes add up to $inflated bytes, its files to $extracted"
installed_kib=$(((inflated + 1023) / 1024))
setup='"C:\setup\ParvaneSetup.exe"'

# --- Refused folders: a message, and the page stays as it was. Nothing is
# written anywhere: not into the system's folders, not into a folder that
# holds a user's note and another program.
mkdir -p "$drive_c/Tools/$system_word"
printf 'my notes' > "$drive_c/Tools/my-notes.txt"
printf 'MZ other' > "$drive_c/Tools/$system_word/tool.exe"
own_folder='卸载Parvane时会删除安装目录中的全部内容。请选择一个只给Parvane使用的目录。'
system_folder='不能安装到系统文件夹，或包含系统文件夹的目录：'
holds_others='安装目录中已有其他文件或文件夹：'
# refused FOLDER MESSAGE [SHOT]: the lines that type FOLDER, press Install
# and dismiss the message MESSAGE ("\r\n" between its lines).
refused() {
  printf 'type 1005 "%s"\nclick 1\nmessagebox 安装Parvane "%s"\n%s\nclick 1\nwindow 安装Parvane\n' \
    "$1" "$2" "$([ -z "${3:-}" ] || shot "$3")"
}
prefix_tree > "$work/refused.before"
check refused_folders <<SCRIPT
env PARVANE_STANDIN_LOG $windows_log
$(to_target_page "$setup")
$(refused 'C:\' '不能安装到磁盘的根目录：\r\nC:\\r\n'"$own_folder" refused-drive-root)
$(refused 'C:\windows\' "$system_folder"'\r\nC:\windows\\r\n'"$own_folder")
$(refused "$(program_files)\\" "$system_folder"'\r\n'"$(program_files)"'\\r\n'"$own_folder" refused-system-folder)
$(refused "C:\\users\\$user" "$system_folder"'\r\nC:\users\'"$user"'\r\n'"$own_folder")
$(refused "C:\\Tools\\$system_word" "$holds_others"'\r\nC:\Tools\'"$system_word"'\tool.exe\r\n卸载Parvane时会删除这个目录中的全部内容。请选择一个空的或新的目录，例如：\r\nC:\Tools\'"$system_word"'\Parvane\' refused-other-program)
type 1005 "C:\Tools\"
click 1
messagebox-begins 安装Parvane "$holds_others\r\nC:\Tools\"
$(shot refused-foreign-files)
click 1
window 安装Parvane
text 1005 "C:\Tools\"
type 1005 ""
click 1
messagebox 安装Parvane 请输入安装目录。
click 1
window 安装Parvane
type 1005 "Tavisk\\Parvane"
key enter
messagebox 安装Parvane "请输入完整的安装目录路径，例如 C:\\Program Files\\Tavisk\\Parvane\\。"
click 1
window 安装Parvane
type 1005 "C:\\$(printf 'x%.0s' $(seq 1 230))"
click 1
messagebox 安装Parvane 安装目录的路径太长，请选择一个较短的目录。
click 1
window 安装Parvane
visible 1005 1
visible 1 1
visible 1001 0
enabled 2 1
text 1005 "C:\\$(printf 'x%.0s' $(seq 1 230))"
click 2
exit 0
noregkey $uninstall_key
noregkey $product_key
SCRIPT
prefix_tree > "$work/refused.after"
diff "$work/refused.before" "$work/refused.after" > "$work/refused.diff" ||
  fail "refused folders: the prefix changed: $(head -5 "$work/refused.diff")"
for name in refused-drive-root refused-system-folder refused-foreign-files refused-other-program; do
  keep_shot "$name"
done

# --- A damaged package: the message once, then nothing anywhere.
cp "$package" "$drive_c/setup/Damaged.exe"
flip_byte "$drive_c/setup/Damaged.exe" $(($(stat -c %s "$package") - 1))
check damaged_package <<SCRIPT
$(start_install '"C:\setup\Damaged.exe"' 'C:\Damaged Target\' "$windows_log")
messagebox 安装Parvane 您的安装文件被损坏,请重新找到正确的安装文件再试.
click 1
window 安装Parvane
sleep 300
text 1002 安装失败,Parvane没有安装完成.
text 2 退出(&Q)
enabled 2 1
focus 2
visible 1 0
click 2
exit 0
noregkey $uninstall_key
noregkey $product_key
SCRIPT
[ ! -e "$drive_c/Damaged Target" ] || fail "damaged package: the target folder was created"
[ ! -e "$log" ] || fail "damaged package: a helper program was started: $(cat "$log")"

# --- A folder that cannot be written: a file stands where it should be.
printf 'in the way' > "$drive_c/blocked"
check unwritable_folder <<SCRIPT
$(start_install "$setup" 'C:\blocked\Parvane' "$windows_log")
messagebox 安装Parvane 无法在安装目录中写入文件，Parvane没有安装完成。请选择另一个安装目录后重新安装。
click 1
window 安装Parvane
text 1002 安装失败,Parvane没有安装完成.
key enter
exit 0
noregkey $uninstall_key
noregkey $product_key
SCRIPT

# --- A full disk: a small file system where the files go.
mkdir -p "$drive_c/tiny"
if mount -t tmpfs -o size=160k tmpfs "$drive_c/tiny" 2>/dev/null; then
  mounted=$drive_c/tiny
  check full_disk <<SCRIPT
$(start_install "$setup" 'C:\tiny\Parvane' "$windows_log")
messagebox-begins 安装Parvane "无法写入文件，Parvane没有安装完成。\r\nC:\\tiny\\Parvane\\" 20000
click 1
window 安装Parvane
text 1002 安装失败,Parvane没有安装完成.
click 2
exit 0
noregkey $uninstall_key
SCRIPT
  umount "$mounted" && mounted=
else
  echo "NOTE: cannot mount a small file system here; the full-disk case did not run"
fi
[ ! -e "$log" ] || fail "a failed installation started a helper program: $(cat "$log")"

# --- The full installation into the default folder.
folder=$(default_folder)
check full_install <<SCRIPT
$(install_through_windows "$setup" '' "$windows_log")
textlog-is 1002 "正在安装Parvane,请等待...|解压文件到指定的目录...|生成快捷方式|安装驱动|注册卸载程序|注册软件信息|安装Parvane成功."
progress 1001 25
visible 1001 0
visible 1 0
visible 1000 0
visible 1004 0
visible 1005 0
text 2 完成(&O)
enabled 2 1
# Install had the focus and is gone: Finish takes it, so Enter reaches it.
focus 2
key enter
exit 0
regvalue $uninstall_key DisplayName REG_SZ $(reg_sz Parvane)
regvalue $uninstall_key UninstallString REG_SZ $(reg_sz "\"${folder}ParvaneSetup.exe\" uninstall")
regvalue $uninstall_key DisplayIcon REG_SZ $(reg_sz "${folder}ParvaneSetup.exe")
regvalue $uninstall_key Publisher REG_SZ $(reg_sz Corvantis)
regvalue $uninstall_key DisplayVersion REG_SZ $(reg_sz 2.0.0419)
regvalue $uninstall_key InstallLocation REG_SZ $(reg_sz "$folder")
regvalue $uninstall_key EstimatedSize REG_DWORD $(reg_dword "$installed_kib")
regvalue $uninstall_key NoModify REG_DWORD $(reg_dword 1)
regvalue $uninstall_key NoRepair REG_DWORD $(reg_dword 1)
regvalue $product_key Name REG_SZ $(reg_sz Parvane)
regvalue $product_key Ver REG_SZ $(reg_sz "Parvane 2.0.0419 Released 20050527")
regvalue $product_key InstallPath REG_SZ $(reg_sz "${folder}parvane.exe")
regvalue $product_key InstallDir REG_SZ $(reg_sz "$folder")
regvalue $product_key company REG_SZ $(reg_sz Corvantis)
regvalue $product_key "install path" REG_SZ $(reg_sz "$folder")
noregvalue $control_key PSLastBootSystemRoot
SCRIPT
installed=$(win_path_to_unix "$folder")
diff -r "$work/expected" "$installed" > "$work/diff.txt" 2>&1 ||
  fail "installed files differ from the package: $(head -5 "$work/diff.txt")"
[ "$(find "$installed" -type f | wc -l)" = 25 ] || fail "expected 25 installed files"

# Shortcuts, read by lnkinfo.
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Parvane/Parvane.lnk"
desktop="$drive_c/users/Public/Desktop/Parvane.lnk"
quick="$quick_launch/Parvane.lnk"
check_shortcuts() {
  local folder=$1 what=$2
  for lnk in "$start_menu" "$desktop" "$quick"; do
    check_lnk_field "$lnk" target "${folder}Parvane.exe" || fail "$what: target of $lnk"
  done
  check_lnk_field "$start_menu" workdir "$folder" || fail "$what: start menu working directory"
  check_lnk_field "$desktop" workdir "$folder" || fail "$what: desktop working directory"
  check_lnk_field "$start_menu" description Parvane || fail "$what: start menu description"
  check_lnk_field "$quick" description Parvane || fail "$what: quick launch description"
  ! lnk_field "$desktop" description >/dev/null 2>&1 || fail "$what: the desktop shortcut has a description"
  ! lnk_field "$quick" workdir >/dev/null 2>&1 || fail "$what: the quick launch shortcut has a working directory"
}
check_shortcuts "$folder" "first install"

# The helpers run on their own; give them a moment to record their starts.
wait_for_lines() {
  local count=$1
  for _ in $(seq 1 100); do
    [ "$(grep -c . "$log" 2>/dev/null || true)" -ge "$count" ] && return 0
    sleep 0.1
  done
  return 1
}
expect_helper_lines() {
  local folder=$1 what=$2
  wait_for_lines 3 || fail "$what: helper programs did not record their starts: $(cat "$log" 2>&1)"
  local text
  # A missing or unreadable log fails the checks below, not the script.
  text=$(iconv -f "$system_charset" -t UTF-8 "$log" 2>&1 | tr -d '\r') || true
  grep -qxF "InstallGuardDrv.exe	\"${folder}InstallGuardDrv.exe\" install	${folder%\\}" <<<"$text" ||
    grep -qxF "InstallGuardDrv.exe	${folder}InstallGuardDrv.exe install	${folder%\\}" <<<"$text" ||
    fail "$what: driver installer start: $text"
  grep -q "^SkinCtl.ocx	DllRegisterServer	" <<<"$text" || fail "$what: no DllRegisterServer: $text"
  grep -q "^SkinCtl.ocx	DllInstall	install=1	" <<<"$text" || fail "$what: no DllInstall(TRUE): $text"
}
expect_helper_lines "$folder" "first install"

# --- A second install elsewhere: values and shortcuts follow it; values
# other programs changed are written again, those they added stay; the
# SYSTEM hive path is copied once listed.
reg32 add "$uninstall_key" /v Publisher /d Other /f >/dev/null
reg32 add "$uninstall_key" /v Comments /d Other /f >/dev/null
reg32 add "$product_key" /v Extra /d Kept /f >/dev/null
hive='\Device\HarddiskVolume1\WINDOWS\system32\config\SYSTEM'
reg32 add 'HKLM\SYSTEM\CurrentControlSet\Control\hivelist' /v '\REGISTRY\MACHINE\SYSTEM' /d "$hive" /f >/dev/null
rm -f "$log"
second="D:\\$system_word\\Parvane\\"
mkdir -p "$WINEPREFIX/dosdevices"
ln -sfn "$work/d_drive" "$WINEPREFIX/dosdevices/d:"
mkdir -p "$work/d_drive"
check second_install <<SCRIPT
$(install_through_windows "$setup" "D:\\$system_word\\Parvane" "$windows_log")
click 2
exit 0
regvalue $uninstall_key UninstallString REG_SZ $(reg_sz "\"${second}ParvaneSetup.exe\" uninstall")
regvalue $uninstall_key DisplayIcon REG_SZ $(reg_sz "${second}ParvaneSetup.exe")
regvalue $uninstall_key InstallLocation REG_SZ $(reg_sz "$second")
regvalue $uninstall_key EstimatedSize REG_DWORD $(reg_dword "$installed_kib")
regvalue $uninstall_key Publisher REG_SZ $(reg_sz Corvantis)
regvalue $uninstall_key Comments REG_SZ $(reg_sz Other)
regvalue $product_key InstallPath REG_SZ $(reg_sz "${second}parvane.exe")
regvalue $product_key InstallDir REG_SZ $(reg_sz "$second")
regvalue $product_key "install path" REG_SZ $(reg_sz "$second")
regvalue $product_key Extra REG_SZ $(reg_sz Kept)
regvalue $control_key PSLastBootSystemRoot REG_SZ $(reg_sz "$hive")
SCRIPT
diff -r "$work/expected" "$work/d_drive/$system_word/Parvane" > "$work/diff2.txt" 2>&1 ||
  fail "second install: files differ: $(head -5 "$work/diff2.txt")"
check_shortcuts "$second" "second install"
expect_helper_lines "$second" "second install"

# --- A brand-new folder beside another program's installs, typed with '/'
# as Windows allows; a reinstall over the recorded installation keeps what
# the product wrote there since, whatever case and separators the folder
# is typed with.
mkdir -p "$work/d_drive/Tools/other-app"
printf 'MZ other' > "$work/d_drive/Tools/other-app/tool.exe"
check beside_others <<SCRIPT
$(install_through_windows "$setup" 'D:/Tools/Parvane' "$windows_log")
click 2
exit 0
regvalue $product_key "install path" REG_SZ $(reg_sz 'D:/Tools/Parvane\')
SCRIPT
mkdir -p "$work/d_drive/Tools/Parvane/Data"
printf 'written by the product' > "$work/d_drive/Tools/Parvane/Data/state.dat"
check reinstall <<SCRIPT
$(install_through_windows "$setup" 'd:\tools\PARVANE' "$windows_log")
click 2
exit 0
SCRIPT
[ "$(cat "$work/d_drive/Tools/Parvane/Data/state.dat" 2>&1)" = 'written by the product' ] ||
  fail "reinstall: the file the product wrote is gone or changed"
rm -r "$work/d_drive/Tools/Parvane/Data"
diff -r "$work/expected" "$work/d_drive/Tools/Parvane" > "$work/diff3.txt" 2>&1 ||
  fail "reinstall: files differ: $(head -5 "$work/diff3.txt")"
[ "$(cat "$work/d_drive/Tools/other-app/tool.exe")" = 'MZ other' ] || fail "beside_others: the other program changed"

echo "install checks: $failures failed"
[ "$failures" = 0 ]
