#!/usr/bin/env bash
# Runs the stand-ins under Wine from a folder with a Chinese name and checks
# the lines they append to PARVANE_STANDIN_LOG (itself a Chinese path):
# InstallGuardDrv.exe started directly, SkinCtl.ocx through regsvr32 the way
# the installer registers and unregisters it.
#   standins_wine_test.sh WIN_PRODUCT_FOLDER
set -euo pipefail
product=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
drive_c=${WINEPREFIX:-$root/build/wine/prefix}/drive_c
folder_utf8=安装测试$$
folder=$drive_c/$folder_utf8
trap 'cd /; rm -rf "$folder"; "$root/scripts/wine.sh" --stop' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }

"$root/scripts/wine.sh" --prepare
mkdir -p "$folder/日志"
cp "$product/InstallGuardDrv.exe" "$product/SkinCtl.ocx" "$folder/"
log=$folder/日志/standin.log
export PARVANE_STANDIN_LOG="C:\\$folder_utf8\\日志\\standin.log"
windows_folder="C:\\$folder_utf8"
cd "$folder"

# --- InstallGuardDrv.exe: one line per start, appended, nothing without the variable.
for run in 1 2; do
  "$root/scripts/wine.sh" InstallGuardDrv.exe --flag "a b" 中文 > /dev/null 2>&1 ||
    fail "InstallGuardDrv.exe run $run: exit status $?"
done
[ "$(grep -c $'\r$' "$log" 2>/dev/null)" = 2 ] || fail "expected two CR LF lines, got: $(cat -A "$log" 2>&1)"
line=$(head -n 1 "$log" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' || true)
IFS=$'\t' read -r name command_line directory <<< "$line"
[ "$name" = InstallGuardDrv.exe ] || fail "first field: $name"
case $command_line in
  *InstallGuardDrv.exe*' --flag "a b" 中文') ;;
  *) fail "command line: $command_line" ;;
esac
[ "$directory" = "$windows_folder" ] || fail "current directory: $directory"
# The bytes are GBK, not UTF-8: the folder's name must appear encoded so.
grep -qF "$(gbk "$windows_folder")"$'\r' "$log" || fail "the folder is not in GBK bytes"

before=$(ls -R "$folder"; md5sum < "$log")
(unset PARVANE_STANDIN_LOG; "$root/scripts/wine.sh" InstallGuardDrv.exe > /dev/null 2>&1) ||
  fail "InstallGuardDrv.exe without a log: exit status $?"
[ "$(ls -R "$folder"; md5sum < "$log")" = "$before" ] || fail "wrote something without the variable"

# --- SkinCtl.ocx through regsvr32: register, then unregister with a text.
: > "$log"
ocx="$windows_folder\\SkinCtl.ocx"
"$root/scripts/wine.sh" regsvr32 /s /i "$ocx" > /dev/null 2>&1 || fail "regsvr32 /i: exit status $?"
"$root/scripts/wine.sh" regsvr32 /s /u "/i:参数 x" "$ocx" > /dev/null 2>&1 ||
  fail "regsvr32 /u: exit status $?"
printf 'SkinCtl.ocx\t%s\t%s\r\n' \
  DllRegisterServer "$windows_folder" \
  DllInstall $'install=1\t\t'"$windows_folder" \
  DllInstall $'install=0\t参数 x\t'"$windows_folder" \
  DllUnregisterServer "$windows_folder" | iconv -f UTF-8 -t GBK > "$folder/expected"
cmp -s "$log" "$folder/expected" || fail "SkinCtl.ocx lines: $(iconv -f GBK -t UTF-8 "$log" | cat -A)"

[ "$failures" = 0 ] && echo "all checks passed" || exit 1
