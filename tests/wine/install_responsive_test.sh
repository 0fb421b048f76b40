#!/usr/bin/env bash
# While a large package (over 200 MB) extracts, the target page keeps
# answering: the driver reads the status line and the progress bar all
# through the extraction, each read within 100 ms, and sees both move.
# Escape and the close box sent in the middle change nothing, and the About
# box opens over the page while the files are extracted: the installation
# runs to its end. Runs in its own copy of the prefix.
#   install_responsive_test.sh INSTALLER_IMAGE PARVANE_PACK [SCREENSHOT_DIR]
set -euo pipefail
image=$(realpath "$1") pack=$(realpath "$2") shots=${3:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
source "$root/tests/wine/harness.sh"
wine_private_prefix "$work"
trap 'wine_session_stop; rm -rf "$work"' EXIT
drive_c=$WINEPREFIX/drive_c

# 200 MB in 40 files: half incompressible, half text.
mkdir -p "$work/content/data" "$drive_c/setup"
for i in $(seq 1 20); do
  head -c 5M /dev/urandom > "$work/content/data/random$i.bin"
  # yes ends on SIGPIPE once head has its 5 MB.
  { yes "第 $i 行 Parvane protects the disk $i" || true; } | head -c 5M > "$work/content/text$i.txt"
done
"$pack" build --image "$image" --out "$drive_c/setup/Big.exe" "$work/content" >/dev/null
rm -rf "$work/content"
echo "package: $(stat -c %s "$drive_c/setup/Big.exe") bytes"

shot=
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  # A moment into the extraction, once the page has painted its progress.
  shot="sleep 400
screenshot Z:${shots//\//\\}\\install-progress.bmp"
fi
wine_session_start
cat > "$work/big.txt" <<SCRIPT
start "C:\\setup\\Big.exe"
window 安装Parvane
click 1
window 安装Parvane
click 1004
click 1
window 安装Parvane
exists 1000 1
type 1005 "C:\\Big Target"
click 1
$shot
key escape
syscommand 0xF060
syscommand 16
window "关于 ParvaneSetup"
owner 安装Parvane
sleep 300
key escape
gone "关于 ParvaneSetup"
window 安装Parvane
watch 1002 1001 安装Parvane成功. 100 180000
watch-saw-text 解压文件到指定的目录...
watch-reads-above 20
watch-progress-above 20
text 2 完成(&O)
click 2
exit 0
SCRIPT
status=0
run_driver "$work/big.txt" "$work/big.log" > /dev/null || status=$?
grep -E '^(FAIL|ERROR|watch)' "$work/big.log" || true
grep -i 'reads' "$work/big.log" | head -3
if [ -n "$shots" ] && [ -f "$shots/install-progress.bmp" ]; then
  convert "$shots/install-progress.bmp" -trim +repage "$shots/install-progress.png" &&
    rm "$shots/install-progress.bmp"
fi
[ "$status" = 0 ] || { echo "FAIL: the page did not keep answering:"; cat "$work/big.log"; exit 1; }
[ "$(find "$drive_c/Big Target" -type f | wc -l)" = 40 ] || { echo "FAIL: not all 40 files installed"; exit 1; }
echo "the page answered throughout"
