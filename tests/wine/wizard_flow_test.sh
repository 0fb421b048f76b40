#!/usr/bin/env bash
# The install wizard's page flow, worked through its windows as a user
# would: Next, Quit and Exit on every page, Escape and the close box, Enter
# as Next with the acceptance test, the message when the agreement is not
# accepted, the radio mnemonics, the licence text, the target page's
# default folder and its folder browser. Every path ends with exit code 0.
#   wizard_flow_test.sh PACKAGE
set -euo pipefail
package=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/harness.sh"
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
wine_session_start
mkdir -p "$WINEPREFIX/drive_c/wizard"
cp "$package" "$WINEPREFIX/drive_c/wizard/ParvaneSetup.exe"
count=0

# scenario NAME < SCRIPT: runs one driver script from the welcome page
# (welcome_page, licence_page and target_page are the harness's).
scenario() {
  count=$((count + 1))
  check "$count" "$1" < <(welcome_page '"C:\wizard\ParvaneSetup.exe"'; cat)
}

scenario "welcome: Quit ends the wizard" <<'SCRIPT'
click 2
exit 0
SCRIPT
scenario "welcome: Escape acts as Quit" <<'SCRIPT'
key escape
exit 0
SCRIPT
scenario "welcome: the close box acts as Quit" <<'SCRIPT'
syscommand 0xF060
exit 0
SCRIPT
scenario "welcome: Enter acts as Next" <<SCRIPT
key enter
window 安装Parvane
exists 1004 1
click 2
exit 0
SCRIPT

scenario "licence: Next without a choice, then after decline, shows the message and stays" <<SCRIPT
$(licence_page)
checked 1004 0
checked 1005 0
click 1
messagebox 安装Parvane 您必须接受此协议，才能继续安装Parvane。
click 1
window 安装Parvane
exists 1004 1
click 1005
checked 1005 1
key enter
messagebox 安装Parvane 您必须接受此协议，才能继续安装Parvane。
click 1
window 安装Parvane
exists 1004 1
checked 1005 1
click 1005
click 1004
click 1
window 安装Parvane
exists 1000 1
click 2
exit 0
SCRIPT
scenario "licence: Alt+D and Alt+A count as clicks; Enter goes on after accept" <<SCRIPT
$(licence_page)
mnemonic D
checked 1005 1
key enter
messagebox 安装Parvane 您必须接受此协议，才能继续安装Parvane。
click 1
window 安装Parvane
mnemonic A
checked 1004 1
checked 1005 0
key enter
window 安装Parvane
exists 1000 1
key escape
exit 0
SCRIPT
scenario "licence: Exit, Escape and the close box end the wizard" <<SCRIPT
$(licence_page)
text 2 退出(&C)
click 2
exit 0
SCRIPT
scenario "licence: Escape ends the wizard" <<SCRIPT
$(licence_page)
key escape
exit 0
SCRIPT
scenario "licence: the close box ends the wizard" <<SCRIPT
$(licence_page)
syscommand 0xF060
exit 0
SCRIPT
# The agreement exactly as the edit must show it: its lines with CR LF.
agreement=$(awk '{printf "%s\\r\\n", $0}' "$root/res/licence_utf8.txt")
scenario "licence: the agreement is shown from its first line with its line breaks, scrolls and cannot be changed" <<SCRIPT
$(licence_page)
style 1001 0x0804
exstyle 1001 0x20000
text 1001 "$agreement"
firstline 1001 0
linecount-above 1001 17
scroll 1001 down
firstline-above 1001 0
keys 1001 改写
text 1001 "$agreement"
click 2
exit 0
SCRIPT

scenario "target: the default folder in the choosing layout, typed text stays, Quit ends" <<SCRIPT
$(target_page)
text 1005 "$(default_folder)"
text 2 退出(&Q)
visible 1004 1
visible 1005 1
visible 1000 1
visible 1 1
visible 1001 0
visible 1002 0
type 1005 "D:\\我的 软件\\Parvane"
text 1005 "D:\\我的 软件\\Parvane"
click 2
exit 0
SCRIPT
scenario "target: cancelling the folder browser leaves the edit as it was" <<SCRIPT
$(target_page)
type 1005 "E:\\typed"
click 1000
window 选择安装目录
click 2
gone 选择安装目录
window 安装Parvane
text 1005 "E:\\typed"
key escape
exit 0
SCRIPT
# With nothing chosen, Wine's browser confirms the desktop folder: its path
# replaces the edit's text as the shell gives it, without a backslash.
scenario "target: a folder chosen in the browser replaces the edit's text" <<SCRIPT
$(target_page)
click 1000
window 选择安装目录
click 1
gone 选择安装目录
window 安装Parvane
text 1005 "C:\\users\\$(whoami)\\Desktop"
key escape
exit 0
SCRIPT
scenario "target: the close box ends the wizard" <<SCRIPT
$(target_page)
syscommand 0xF060
exit 0
SCRIPT

echo "$count scenarios, $failures failed"
[ "$failures" = 0 ]
