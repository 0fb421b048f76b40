#!/usr/bin/env bash
# Starts the packed installer under Wine in the project's private prefix.
# With a working display the user drives it. Without one, it runs inside
# Xvfb through a scripted walk over every window the program has, saving a
# screenshot of each under build/screenshots/.
#   scripts/run-installer.sh PACKAGE
set -euo pipefail
package=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)

display_works() {
  [ -n "${DISPLAY:-}" ] && timeout 5 import -window root -crop 1x1+0+0 png:- >/dev/null 2>&1
}

if display_works; then
  echo "starting $package on display $DISPLAY"
  exec "$root/scripts/wine.sh" "$package"
fi

unset DISPLAY
source "$root/tests/wine/harness.sh"
shots=$root/build/screenshots
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
wine_session_start
mkdir -p "$shots" && rm -f "$shots"/[0-9]-*.png

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
program="\"$(windows_path "$package")\""
# A window is found as soon as it is visible; give it a moment to paint.
shot() { printf 'sleep 500\nscreenshot %s\n' "$(windows_path "$shots/$1.bmp")"; }

# One block per window, in the order a user meets them.
cat > "$work/walk.txt" <<WALK
start $program
window 安装Parvane
$(shot 1-welcome)
syscommand 16
window "关于 ParvaneSetup"
$(shot 2-about)
click 1
window 安装Parvane
click 1
window 安装Parvane
exists 1004 1
click 1
messagebox 安装Parvane 您必须接受此协议，才能继续安装Parvane。
$(shot 3-licence-not-accepted)
click 1
window 安装Parvane
click 1004
$(shot 4-licence)
click 1
window 安装Parvane
exists 1000 1
$(shot 5-target)
click 1000
window 选择安装目录
$(shot 6-folder-browser)
click 2
window 安装Parvane
click 1
waittext 1002 安装Parvane成功.
$(shot 7-finished)
click 2
exit 0
start $program uninstall
window 卸载Parvane
$(shot 8-uninstall)
click 2
exit 0
WALK

echo "no display: walking through the windows inside Xvfb"
status=0
run_driver "$work/walk.txt" "$work/walk.log" || status=$?
for bitmap in "$shots"/*.bmp; do
  [ -e "$bitmap" ] || continue
  # Cropped to the windows: the empty desktop around them says nothing.
  convert "$bitmap" -trim +repage "${bitmap%.bmp}.png" && rm "$bitmap"
done
echo "screenshots:"
ls -1 "$shots"/*.png 2>/dev/null | sed 's/^/  /'
exit "$status"
