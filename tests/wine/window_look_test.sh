#!/usr/bin/env bash
# How the installer's windows look, checked in the running program: every
# control where its template puts it, the frames centred where they should
# be, the title bar icons, the system menu's About entry and the About box
# it opens, the welcome page's heavy title font. At a DPI other than 96 it
# runs in a copy of the prefix set to that DPI: the windows grow with it,
# and so does the title font.
#   window_look_test.sh PACKAGE [DPI [SCREENSHOT_FOLDER]]
set -euo pipefail
package=$1 dpi=${2:-96} shots=${3:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/harness.sh"
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
if [ "$dpi" != 96 ]; then
  wine_private_prefix "$work"
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine_run reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  done
  # A screen that scales is a larger screen: the desktop is 1024 x 768 at
  # 96 DPI, and the display around it as much larger.
  wine_run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
    /d "$((1024 * dpi / 96))x$((768 * dpi / 96))" /f >/dev/null
  WINE_SESSION_SCREEN=$((1280 * dpi / 96))x$((1024 * dpi / 96))
  # The server takes the DPI when it starts again.
  "$HARNESS_WINE" --stop
fi
wine_session_start
mkdir -p "$WINEPREFIX/drive_c/look"
cp "$package" "$WINEPREFIX/drive_c/look/ParvaneSetup.exe"
# Uninstall mode needs a recorded installation before it asks anything.
record_install_folder 'C:\look\'

# A window's client area at 96 DPI, grown with the DPI. The dialog units
# follow the template's font, whose glyphs do not grow in step with the
# DPI (the uninstall dialog came out 7 % narrower than 200 % at 192 DPI),
# so within 10 %: a window that kept its size would be a third too small.
scaled() {
  printf 'clientsize %d %d 10\n' $(($1 * dpi / 96)) $(($2 * dpi / 96))
}

# Wine's own system menu items come first; ours end the menu.
menu='恢复(&R)|移动(&M)|大小(&S)|最小化(&N)|最大化(&X)|-|关闭(&C)\tAlt+F4|-|关于 Wine(&A)|-|关于 ParvaneSetup(&A)...'
# The common look of the four large windows.
large_window() {
  printf 'sysmenu "%s"\nicon big 1\nicon small 1\n' "$menu"
}
about_box_over() {
  cat <<SCRIPT
syscommand 16
window "关于 ParvaneSetup"
owner $1
windowrect-centred-over $1
dialogsize 235 55
dialogrect 1 178 7 50 14
text 1 确定
key escape
gone "关于 ParvaneSetup"
window $1
SCRIPT
}

check welcome_licence_target <<SCRIPT
start "C:\\look\\ParvaneSetup.exe"
window 安装Parvane
$(large_window)
windowrect-centred-screen
dialogsize 318 191
$(scaled 477 310)
$(shot "welcome-$dpi-dpi")
dialogrect 1 191 168 50 14
dialogrect 2 252 168 50 14
dialogrect 1005 35 32 220 23
font 1005 Arial $((20 * dpi / 96)) 956
# Moved to a monitor of twice the DPI and back, it makes its font again.
dpichanged $((2 * dpi))
font 1005 Arial $((40 * dpi / 96)) 956
dpichanged $dpi
font 1005 Arial $((20 * dpi / 96)) 956
font-not -1 Arial
nostyle 0 0x00030000
$(about_box_over 安装Parvane)
click 1
window 安装Parvane
exists 1004 1
$(large_window)
windowrect-centred-screen
dialogsize 318 191
dialogrect 1001 4 16 307 124
dialogrect 1004 7 146 79 9
dialogrect 1005 109 147 92 8
dialogrect 1 191 168 50 14
dialogrect 2 252 168 50 14
font-not 1004 Arial
$(about_box_over 安装Parvane)
click 1004
click 1
window 安装Parvane
exists 1000 1
$(large_window)
windowrect-centred-screen
exstyle 0 0x00040000
dialogsize 318 192
dialogrect 1004 13 30 251 10
dialogrect 1005 16 48 243 12
dialogrect 1000 266 47 39 13
dialogrect 1002 17 101 172 11
dialogrect 1001 17 117 286 10
dialogrect 1 191 168 50 14
dialogrect 2 252 168 50 14
type 1005 "C:\\看看"
$(about_box_over 安装Parvane)
text 1005 "C:\\看看"
visible 1001 0
click 2
exit 0
SCRIPT

check uninstall_dialog <<SCRIPT
start "C:\\look\\ParvaneSetup.exe" uninstall
window 卸载Parvane
$(large_window)
windowrect-centred-screen
exstyle 0 0x00040000
dialogsize 318 191
$(scaled 557 334)
dialogrect 1000 13 57 285 25
dialogrect 1002 21 77 247 8
dialogrect 1001 10 91 291 11
dialogrect 1 189 169 50 14
dialogrect 2 252 169 50 14
$(about_box_over 卸载Parvane)
text 1000 您确定要卸载Parvane吗？
# The bar waits hidden until the removal starts.
visible 1001 0
# Other system commands reach the default processing. (Wine draws a
# minimised window as a bare title bar, so its icon painting is not seen.)
syscommand 0xF020
syscommand 0xF120
windowrect-centred-screen
text 1000 您确定要卸载Parvane吗？
click 2
exit 0
SCRIPT

keep_shot "welcome-$dpi-dpi"
echo "window look at $dpi DPI: $failures failed"
[ "$failures" = 0 ]
