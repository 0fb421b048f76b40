#!/usr/bin/env bash
# Start-up chooses the mode from the command line alone and every ending of
# either dialog ends the process with exit code 0. Driven through the real
# windows: each case starts the installer with one command line, finds the
# mode's dialog by its caption, closes it one way or another and checks the
# exit code.
#   start_mode_test.sh INSTALLER_IMAGE
set -euo pipefail
image=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/harness.sh"
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
wine_session_start
drive_c=$WINEPREFIX/drive_c
# Uninstall mode needs a recorded installation before it asks anything.
record_install_folder 'C:\ptest\'

# Copies of the program where the cases start it from. One folder name
# holds "uninstall" and a blank, one is where the uninstall entry points.
gbk_folder=$(printf '\xd0\xb6\xd4\xd8uninstall' | iconv -f GBK -t UTF-8)   # "卸载uninstall"
for folder in ptest "uninstall here" "Program Files/Tavisk/Parvane" "$gbk_folder"; do
  mkdir -p "$drive_c/$folder"
  cp "$image" "$drive_c/$folder/ParvaneSetup.exe"
done

install_caption=安装Parvane
uninstall_caption=卸载Parvane
case_number=0

# expect_mode COMMANDLINE install|uninstall cancel|escape|close
expect_mode() {
  local command_line=$1 mode=$2 ending=$3 caption close
  case $mode in
    install) caption=$install_caption ;;
    uninstall) caption=$uninstall_caption ;;
  esac
  case $ending in
    close) close="syscommand 0xF060" ;;
    cancel) close="click 2" ;;
    escape) close="key escape" ;;
  esac
  case_number=$((case_number + 1))
  check "case$case_number" "[$command_line] should open the $mode dialog and end with 0 after $ending" <<SCRIPT
start $command_line
window $caption
text 0 $caption
$close
gone $caption
exit 0
SCRIPT
}

program='"C:\ptest\ParvaneSetup.exe"'
expect_mode "$program" install cancel
expect_mode "$program /UNINSTALL" install close
expect_mode "$program Uninstall" install escape
expect_mode "$program uninstall" uninstall escape
expect_mode "$program -uninstall" uninstall close
expect_mode "$program reuninstallx" uninstall escape
# The program's own name is never searched, quoted or not.
expect_mode '"C:\uninstall here\ParvaneSetup.exe"' install cancel
expect_mode "\"C:\\$gbk_folder\\ParvaneSetup.exe\"" install cancel
# The uninstall entry's command as older installations wrote it, unquoted:
# the name ends at the first blank, and "uninstall" after it still selects
# uninstall mode. Then the quoted command written now: the name ends at the
# closing quote.
expect_mode 'C:\Program Files\Tavisk\Parvane\ParvaneSetup.exe uninstall' uninstall cancel
expect_mode '"C:\Program Files\Tavisk\Parvane\ParvaneSetup.exe" uninstall' uninstall cancel
# GBK 0x81 0x75 is one character whose trail byte is 'u': no match starts
# there; after a whole character the word counts.
trail_u=$(printf '\x81\x75' | iconv -f GBK -t UTF-8)
expect_mode "$program ${trail_u}ninstall" install cancel
expect_mode "$program ${trail_u}uninstall" uninstall cancel

echo "$case_number cases, $failures failed"
[ "$failures" = 0 ]
