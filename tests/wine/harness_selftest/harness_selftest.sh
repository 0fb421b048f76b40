#!/usr/bin/env bash
# The harness checked on a dialog of its own: one script that uses every
# driver command must pass, and scripts whose expectations differ from the
# real windows must fail at the right line with the right message, leaving
# no process behind. The outside checks (shortcut fields, hashes, paths,
# screenshot) are checked on files with known contents.
#   harness_selftest.sh    (PARVANE_WIN32_BUILD names the Windows build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../harness.sh
source "$here/../harness.sh"
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT

wine_session_start
prefix=$WINEPREFIX
drive_c=$(win_path_to_unix 'C:\')
rm -rf "$drive_c/harness"
mkdir -p "$drive_c/harness/工作目录"
: > "$drive_c/harness/目标.exe"
wine_run reg delete 'HKCU\Software\ParvaneHarness' /f >/dev/null || true

# Windows processes of this prefix whose command line names the dialog.
lingering() {
  local pid
  for pid in $(pgrep -f 'harness_testdialog\.exe' || true); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; then
      echo "$pid"
    fi
  done
}

# --- every command, every check holding
status=0
run_driver "$here/pass.ui" "$work/pass.log" || status=$?
[ "$status" = 0 ] || fail "pass.ui: driver exit status $status"
grep -qx '截图完成' "$work/pass.log" || fail "pass.ui: print did not print its text as UTF-8"
grep -q '^watch: ' "$work/pass.log" || fail "pass.ui: no watch summary"

# Every watch summary orders its figures: median <= p99 <= max.
while read -r reads max median p99; do
  awk -v m="$median" -v p="$p99" -v x="$max" 'BEGIN { exit !(m <= p && p <= x) }' ||
    fail "pass.ui: watch of $reads reads: median $median, p99 $p99, max $max out of order"
done < <(sed -nE 's/^watch: ([0-9]+) reads in [0-9.]+ ms, max ([0-9.]+) ms.*, median ([0-9.]+) ms, p99 ([0-9.]+) ms;.*/\1 \2 \3 \4/p' "$work/pass.log")
# The second watch reads every 100 ms: two reads a round, give or take the
# round in progress at each end.
read -r reads elapsed < <(sed -nE 's/^watch: ([0-9]+) reads in ([0-9.]+) ms.*/\1 \2/p' "$work/pass.log" | sed -n 2p) || true
awk -v n="${reads:-0}" -v t="${elapsed:-0}" 'BEGIN { r = 2 * t / 100; exit !(n > 0 && n >= r - 4 && n <= r + 4) }' ||
  fail "pass.ui: a watch every 100 ms made ${reads:-no} reads in ${elapsed:-no} ms"

# The stopwatch's laps: at least the sleeps between them, and a fresh start
# from zero.
lap() { sed -nE "s/^stopwatch $1: ([0-9]+\.[0-9]) ms\$/\1/p" "$work/pass.log"; }
first=$(lap first) second=$(lap second) restarted=$(lap restarted)
awk -v a="${first:--1}" -v b="${second:--1}" -v c="${restarted:--1}" \
  'BEGIN { exit !(a >= 300 && a < 5000 && b - a >= 200 && c >= 0 && c < 100) }' ||
  fail "pass.ui: stopwatch laps first ${first:-none}, second ${second:-none}, restarted ${restarted:-none}"
[ -z "$(lingering)" ] || fail "pass.ui left the dialog running"

# The screenshot holds the 1024x768 virtual desktop with the dialog on it,
# not one flat colour.
shot=$(win_path_to_unix 'c:\HARNESS\Shot.bmp')
if bmp_to_png "$shot" "$work/shot.png"; then
  read -r width height colours <<<"$(identify -format '%w %h %k' "$work/shot.png")"
  [ "$width x $height" = "1024 x 768" ] || fail "screenshot is $width x $height"
  [ "$colours" -gt 8 ] || fail "screenshot has only $colours colours"
else
  fail "no screenshot at $shot"
fi

link=$drive_c/harness/快捷方式.lnk
check_lnk_field "$link" target 'C:\harness\目标.exe' || fail "shortcut target"
check_lnk_field "$link" 'Working directory' 'C:\harness\工作目录' || fail "shortcut folder"
check_lnk_field "$link" description '测试快捷方式' || fail "shortcut description"
if lnk_field "$link" 'No such field' >/dev/null 2>&1; then fail "lnk_field found a missing field"; fi
if check_lnk_field "$link" description '别的' >/dev/null; then
  fail "check_lnk_field accepted a wrong description"
fi

# --- the path and hash helpers against known answers
[ "$(win_path_to_unix 'c:\HARNESS\工作目录\')" = "$drive_c/harness/工作目录" ] ||
  fail "win_path_to_unix does not fold case: $(win_path_to_unix 'c:\HARNESS\工作目录\')"
[ "$(win_path_to_unix 'C:\harness\不存在\X')" = "$drive_c/harness/不存在/X" ] ||
  fail "win_path_to_unix of a missing path: $(win_path_to_unix 'C:\harness\不存在\X')"
[ "$(unix_path_to_win "$drive_c/harness/工作目录")" = 'C:\harness\工作目录' ] ||
  fail "unix_path_to_win under drive_c: $(unix_path_to_win "$drive_c/harness/工作目录")"
[ "$(unix_path_to_win /tmp/x)" = 'Z:\tmp\x' ] || fail "unix_path_to_win: $(unix_path_to_win /tmp/x)"
printf abc > "$work/abc"
abc_sha256=ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad
check_sha256 "$work/abc" "${abc_sha256^^}" || fail "check_sha256 refused the right hash"
if check_sha256 "$work/abc" "${abc_sha256/ba78/ba79}" >/dev/null; then
  fail "check_sha256 accepted a wrong hash"
fi
if check_sha256 "$work/none" "$abc_sha256" >/dev/null; then
  fail "check_sha256 accepted a missing file"
fi

# --- the registry data helpers, in the form the driver's regvalue reads
for pair in 1=01000000 0x12345678=78563412 4294967295=ffffffff 353=61010000; do
  [ "$(reg_dword "${pair%%=*}")" = "${pair#*=}" ] ||
    fail "reg_dword ${pair%%=*}: $(reg_dword "${pair%%=*}"), not ${pair#*=}"
done
[ "$(reg_sz '中文 x')" = d6d0cec4207800 ] || fail "reg_sz: $(reg_sz '中文 x')"

# --- scripts that must fail: expect_failure NAME STATUS LINE, the script on
# stdin; LINE is the driver's whole report of the failure.
# expect_failure_like NAME STATUS PATTERN...: the same for reports that
# depend on timing; each extended regular expression must match a whole
# line of the output.
_expect_failure() {
  local mode=$1 name=$2 want=$3 status=0 line
  shift 3
  cat > "$work/$name.ui"
  run_driver "$work/$name.ui" "$work/$name.log" >/dev/null || status=$?
  [ "$status" = "$want" ] || fail "$name: driver exit status $status, expected $want"
  for line in "$@"; do
    grep -qx"$mode" -- "$line" "$work/$name.log" ||
      fail "$name: no line '$line' in: $(cat "$work/$name.log")"
  done
}
expect_failure() { _expect_failure F "$@"; }
expect_failure_like() { _expect_failure E "$@"; }

expect_failure wrong_text 1 'FAIL line 3: text 1001 错误文本: expected "错误文本", saw "初始文本"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
text 1001 错误文本
EOF
grep -qx 'note: ended 1 process(es) still running' "$work/wrong_text.log" ||
  fail "wrong_text: the driver did not end the dialog"

expect_failure wrong_exit 1 'FAIL line 4: exit 7 5000: expected exit code 7, saw exit code 1000' <<'EOF'
start harness_testdialog.exe
window 测试对话框
key escape
exit 7 5000
EOF

expect_failure wrong_check 1 'FAIL line 3: checked 1002 1: expected check state 1, saw check state 0' <<'EOF'
start harness_testdialog.exe
window 测试对话框
checked 1002 1
EOF

expect_failure wrong_progress 1 'FAIL line 3: range 1003 0 100: expected range 0 100, saw range 0 200' <<'EOF'
start harness_testdialog.exe
window 测试对话框
range 1003 0 100
EOF

expect_failure disabled_click 1 'FAIL line 3: click 1: expected an enabled control, saw a disabled one' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1
EOF

expect_failure behind_modal 1 'FAIL line 5: click 1002: expected an enabled window, saw the window is disabled (is a modal box open?)' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1004
window 测试对话框
click 1002
EOF

expect_failure wrong_messagebox 1 'FAIL line 4: messagebox 提问 别的: expected "别的", saw "你好，初始文本\n确定吗？"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1004
messagebox 提问 别的
EOF

expect_failure wrong_messagebox_beginning 1 'FAIL line 4: messagebox-begins 提问 你好，世界: expected a text beginning "你好，世界", saw "你好，初始文本\n确定吗？"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1004
messagebox-begins 提问 你好，世界
EOF

expect_failure no_window 1 'FAIL line 3: window 不存在 300: expected window "不存在", saw after 300 ms windows: #32770 "测试对话框"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
window 不存在 300
EOF

expect_failure still_there 1 'FAIL line 3: gone 测试对话框 300: expected no window "测试对话框", saw it is still there after 300 ms' <<'EOF'
start harness_testdialog.exe
window 测试对话框
gone 测试对话框 300
EOF

expect_failure ended 1 'FAIL line 2: window 测试对话框: expected window "测试对话框", saw the process ended with exit code 0' <<'EOF'
start harness_testdialog.exe /lnk C:\harness\again.lnk
window 测试对话框
EOF

expect_failure sysmenu_item 1 'FAIL line 3: sysmenu-has "关于 Parvane(&A)...": expected an item "关于 Parvane(&A)...", saw "恢复(&R)|移动(&M)|大小(&S)|最小化(&N)|最大化(&X)|-|关闭(&C)\tAlt+F4|-|关于 Wine(&A)|-|关于测试(&A)..."' <<'EOF'
start harness_testdialog.exe
window 测试对话框
sysmenu-has "关于 Parvane(&A)..."
EOF

expect_failure wrong_regvalue 1 'FAIL line 1: regvalue HKCU\Software\Wine\Explorer\Desktops Default REG_SZ 3130323400: expected REG_SZ 3130323400, saw REG_SZ 313032347837363800' <<'EOF'
regvalue HKCU\Software\Wine\Explorer\Desktops Default REG_SZ 3130323400
EOF

expect_failure wrong_regtype 1 'FAIL line 1: regtext HKCU\Software\Wine\WineDbg ShowCrashDialog 0: expected a REG_SZ value, saw REG_DWORD' <<'EOF'
regtext HKCU\Software\Wine\WineDbg ShowCrashDialog 0
EOF

expect_failure key_exists 1 'FAIL line 1: noregkey HKCU\Software\Wine: expected no key HKCU\Software\Wine, saw the key' <<'EOF'
noregkey HKCU\Software\Wine
EOF

expect_failure unknown_command 2 'ERROR line 2: klick 1: unknown command' <<'EOF'
print 开始
klick 1
EOF

expect_failure open_quote 2 'ERROR line 1: text 1 "abc: no closing double quote' <<'EOF'
text 1 "abc
EOF

printf 'print \xff\n' | expect_failure not_utf8 2 'ERROR line 1: not valid UTF-8'
# Window texts are UTF-16; the registry is read in the ANSI code page.
expect_failure not_gbk 2 'ERROR line 1: regtext HKCU\Software\ParvaneHarness 😀 x: a character that code page 936 cannot hold' <<'EOF'
regtext HKCU\Software\ParvaneHarness 😀 x
EOF

# How windows look. Pixels follow from the pinned fonts: the dialog's
# base units are 7x14.
expect_failure wrong_font 1 'FAIL line 3: font 1011 宋体 -16 700: expected font "宋体" -16 700, saw font "黑体" -16 700' <<'EOF'
start harness_testdialog.exe
window 测试对话框
font 1011 宋体 -16 700
EOF

expect_failure same_font 1 'FAIL line 3: font-not 1011 黑体: expected a face other than "黑体", saw font "黑体" -16 700' <<'EOF'
start harness_testdialog.exe
window 测试对话框
font-not 1011 黑体
EOF

expect_failure no_small_icon 1 'FAIL line 3: icon small 1: expected a small icon, saw none' <<'EOF'
start harness_testdialog.exe
window 测试对话框
icon small 1
EOF

expect_failure style_missing 1 'FAIL line 3: style 1001 0x00000804: expected style bits 0x00000804 set, saw style 0x50010080 (0x00000804 clear)' <<'EOF'
start harness_testdialog.exe
window 测试对话框
style 1001 0x00000804
EOF

expect_failure style_present 1 'FAIL line 3: nostyle 1013 0x00010800: expected style bits 0x00010800 clear, saw style 0x50210804 (0x00010800 set)' <<'EOF'
start harness_testdialog.exe
window 测试对话框
nostyle 1013 0x00010800
EOF

expect_failure exstyle_missing 1 'FAIL line 3: exstyle 0 0x00000008: expected extended style bits 0x00000008 set, saw extended style 0x00010101 (0x00000008 clear)' <<'EOF'
start harness_testdialog.exe
window 测试对话框
exstyle 0 0x00000008
EOF

expect_failure wrong_dialogrect 1 'FAIL line 3: dialogrect 1001 48 22 92 15: expected 84,39 161x26 (dialog units 48 22 92 15 at base units 7x14), saw 84,39 161x25' <<'EOF'
start harness_testdialog.exe
window 测试对话框
dialogrect 1001 48 22 92 15
EOF

expect_failure wrong_dialogsize 1 'FAIL line 3: dialogsize 260 230: expected client area 0,0 455x403 (dialog units 260 230 at base units 7x14), saw client area 0,0 455x406 in the window 281,168 461x431' <<'EOF'
start harness_testdialog.exe
window 测试对话框
dialogsize 260 230
EOF

expect_failure dialogrect_of_window 2 'ERROR line 3: dialogrect 0 0 0 260 232: dialogrect takes a control; dialogsize measures the window' <<'EOF'
start harness_testdialog.exe
window 测试对话框
dialogrect 0 0 0 260 232
EOF

expect_failure nudged 1 'FAIL line 6: windowrect-centred-over 测试对话框: expected a window centred over "测试对话框" 281,168 461x431, saw 398,338 286x130, its centre off by +29.5,+19.5' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1016
window 子对话框
click 1017
windowrect-centred-over 测试对话框
EOF

# Centred on the screen, so not over its owner; that owner is no dialog,
# which `window` does not find.
expect_failure not_over_frame 1 'FAIL line 4: windowrect-centred-over 框架窗口: expected a window centred over "框架窗口" 40,40 400x300, saw 281,168 461x431, its centre off by +271.5,+193.5' <<'EOF'
start harness_testdialog.exe /owned
window 测试对话框
windowrect-centred-screen
windowrect-centred-over 框架窗口
EOF

expect_failure frame_not_dialog 1 'FAIL line 3: window 框架窗口 300: expected window "框架窗口", saw after 300 ms windows: #32770 "测试对话框", ParvaneHarnessFrame "框架窗口"' <<'EOF'
start harness_testdialog.exe /owned
window 测试对话框
window 框架窗口 300
EOF

expect_failure not_owned 1 'FAIL line 3: owner 测试对话框: expected the owner "测试对话框", saw no owner' <<'EOF'
start harness_testdialog.exe
window 测试对话框
owner 测试对话框
EOF

expect_failure owned 1 'FAIL line 5: owner none: expected no owner, saw owner #32770 "测试对话框"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1016
window 子对话框
owner none
EOF

# Keyboard and scrolling.
expect_failure wrong_focus 1 'FAIL line 3: focus 1002: expected the focus on id 1002 Button "我同意(&A)", saw it on id 1001 Edit "初始文本"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
focus 1002
EOF

expect_failure keys_disabled 1 'FAIL line 3: keys 1 x: expected an enabled control, saw a disabled one' <<'EOF'
start harness_testdialog.exe
window 测试对话框
keys 1 x
EOF

expect_failure mnemonic_behind_modal 1 'FAIL line 5: mnemonic a: expected an enabled window, saw the window is disabled (is a modal box open?)' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1004
window 测试对话框
mnemonic a
EOF

expect_failure mnemonic_not_letter 2 'ERROR line 3: mnemonic 名: a mnemonic is one letter or digit' <<'EOF'
start harness_testdialog.exe
window 测试对话框
mnemonic 名
EOF

expect_failure syscommand_behind_modal 1 'FAIL line 5: syscommand 0xF060: expected an enabled window, saw the window is disabled (is a modal box open?)' <<'EOF'
start harness_testdialog.exe
window 测试对话框
syscommand 0x110
window 测试对话框
syscommand 0xF060
EOF

expect_failure wrong_linecount 1 'FAIL line 3: linecount 1013 31: expected 31 lines, saw 30 lines' <<'EOF'
start harness_testdialog.exe
window 测试对话框
linecount 1013 31
EOF

expect_failure few_lines 1 'FAIL line 3: linecount-above 1013 30: expected a line count above 30, saw line count 30' <<'EOF'
start harness_testdialog.exe
window 测试对话框
linecount-above 1013 30
EOF

expect_failure scrolled 1 'FAIL line 4: firstline 1013 0: expected first visible line 0, saw first visible line 5' <<'EOF'
start harness_testdialog.exe
window 测试对话框
scroll 1013 down
firstline 1013 0
EOF

expect_failure not_scrolled 1 'FAIL line 3: firstline-above 1013 0: expected a first visible line above 0, saw first visible line 0' <<'EOF'
start harness_testdialog.exe
window 测试对话框
firstline-above 1013 0
EOF

# Watching a long operation (LongWork.h). Which phase a read falls in
# depends on timing, hence the patterns.
watch_summary='watch: [0-9]+ reads in [0-9]+\.[0-9] ms, max [0-9]+\.[0-9] ms'
expect_failure waittext_timeout 1 'FAIL line 3: waittext 1020 完成 300: expected "完成" within 300 ms, saw the last text "空闲"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
waittext 1020 完成 300
EOF

# Without pumping, the reads in the middle go unanswered and no phase is
# ever seen.
expect_failure_like watch_stuck 1 \
  "$watch_summary \\([0-9]+ unanswered\\), median [0-9]+\\.[0-9] ms, p99 [0-9]+\\.[0-9] ms; texts (准备 \\| )?完成; progress [0-9]+\\.\\.100" \
  'FAIL line 4: watch 1020 1021 完成 100: expected every read within 100 ms, saw [0-9]+ of [0-9]+ reads too slow; the slowest, (WM_GETTEXT|PBM_GETPOS) at [0-9]+\.[0-9] ms into the watch, got no answer within [0-9]+\.[0-9] ms' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1019
watch 1020 1021 完成 100
EOF

expect_failure_like watch_timeout 1 \
  'FAIL line 4: watch 1020 1021 完成 100 200: expected "完成" within 200 ms, saw the last text "第 [12] 段"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1018
watch 1020 1021 完成 100 200
EOF

# A process that ends half-way fails both waits at once, not after their
# default 60 and 120 s.
started=$SECONDS
expect_failure_like waittext_ended 1 \
  'FAIL line 4: waittext 1020 完成: expected "完成", saw the process ended with exit code 3; the last text "第 [23] 段"' <<'EOF'
start harness_testdialog.exe /abort
window 测试对话框
click 1018
waittext 1020 完成
EOF
expect_failure_like watch_ended 1 "$watch_summary, median [0-9]+\\.[0-9] ms, p99 [0-9]+\\.[0-9] ms; texts 第 [1-3] 段.*; progress [0-9]+\\.\\.[0-9]+" \
  'FAIL line 4: watch 1020 1021 完成 100: expected "完成", saw the process ended with exit code 3; the last text "第 [23] 段"' <<'EOF'
start harness_testdialog.exe /abort
window 测试对话框
click 1018
watch 1020 1021 完成 100
EOF
[ $((SECONDS - started)) -lt 30 ] ||
  fail "waittext and watch took $((SECONDS - started)) s to see the process end"

# The checks of the last watch, on one that stopped at the second phase.
expect_failure_like watch_not_seen 1 \
  'FAIL line 5: watch-saw-text 完成: expected the text "完成" among those the last watch saw, saw (第 1 段 \| )?第 2 段' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1018
watch 1020 1021 "第 2 段" 100
watch-saw-text 完成
EOF

expect_failure_like watch_few_reads 1 \
  'FAIL line 5: watch-reads-above 10000: expected more than 10000 reads, saw [0-9]+ reads' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1018
watch 1020 1021 "第 2 段" 100
watch-reads-above 10000
EOF

expect_failure_like watch_low_progress 1 \
  'FAIL line 5: watch-progress-above 50: expected a progress position above 50, saw the highest 2[0-9]' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1018
watch 1020 1021 "第 2 段" 100
watch-progress-above 50
EOF

expect_failure no_watch 2 'ERROR line 1: watch-saw-text 完成: no watch has run' <<'EOF'
watch-saw-text 完成
EOF

expect_failure watch_zero_period 2 'ERROR line 1: watch 1020 1021 完成 100 1000 0: expected a number above 0, not 0' <<'EOF'
watch 1020 1021 完成 100 1000 0
EOF

expect_failure stopwatch_not_started 2 'ERROR line 2: stopwatch print 安装: no stopwatch started' <<'EOF'
print 开始
stopwatch print 安装
EOF

expect_failure stopwatch_unknown 2 'ERROR line 1: stopwatch stop: stopwatch start or stopwatch print NAME' <<'EOF'
stopwatch stop
EOF

# Text logs (StatusBurst.h). A mismatch lists what was recorded, one text
# a line; a repeat the log dropped would show here.
expect_failure textlog_dropped_repeat 1 '  3 "第 1 步"' '  4 ""' \
  'FAIL line 5: textlog-is 1023 "准备|第 1 步||第 2 步\r\n两行|完成": expected "准备|第 1 步||第 2 步\r\n两行|完成", saw 6 texts "准备|第 1 步|第 1 步||第 2 步\r\n两行|完成"' <<'EOF'
start harness_testdialog.exe
window 测试对话框
textlog 1023
click 1022
textlog-is 1023 "准备|第 1 步||第 2 步\r\n两行|完成"
EOF

# Only texts given after `textlog` are recorded.
expect_failure textlog_from_now_on 1 'FAIL line 5: textlog-has 1023 完成: expected a text "完成" among those recorded, saw 0 texts ""' <<'EOF'
start harness_testdialog.exe
window 测试对话框
click 1022
textlog 1023
textlog-has 1023 完成
EOF

# A log belongs to its process: the next start forgets it.
expect_failure textlog_next_process 2 'ERROR line 7: textlog-is 1023 完成: no textlog of id 1023 since the process started' <<'EOF'
start harness_testdialog.exe
window 测试对话框
textlog 1023
click 1022
start harness_testdialog.exe
window 测试对话框
textlog-is 1023 完成
EOF

# The capacity: 512 texts of 512 bytes each are all kept, whole; one more
# flood of 256 fails every check instead of dropping texts unnoticed.
# `flood_text N` is text N of a flood as a script writes it (UTF-8).
flood_text() {
  local head="第 $1 条" gbk_bytes
  gbk_bytes=$(printf '%s' "$head" | iconv -f UTF-8 -t GBK | wc -c)
  printf '%s' "$head"
  printf '%*s' $((512 - gbk_bytes)) '' | tr ' ' .
}
{
  echo 'start harness_testdialog.exe'
  echo 'window 测试对话框'
  echo 'textlog 1023'
  echo 'click 1024'
  echo 'click 1024'
  echo "textlog-has 1023 \"$(flood_text 1)\""
  echo "textlog-has 1023 \"$(flood_text 256)\""
} > "$work/textlog_full.ui"
status=0
run_driver "$work/textlog_full.ui" "$work/textlog_full.log" >/dev/null || status=$?
[ "$status" = 0 ] ||
  fail "textlog_full: driver exit status $status: $(grep -v '^line' "$work/textlog_full.log")"

expect_failure textlog_overflow 1 'FAIL line 7: textlog-has 1023 完成: expected every text recorded, saw the log full: 256 more after the first 512 were lost' <<'EOF'
start harness_testdialog.exe
window 测试对话框
textlog 1023
click 1024
click 1024
click 1024
textlog-has 1023 完成
EOF

# A text longer than an entry keeps cannot be compared: the check fails.
xs() { printf '%*s' "$1" '' | tr ' ' x; }
expect_failure textlog_long_text 1 "FAIL line 5: textlog-is 1001 长文本: expected texts of at most 1024 bytes, saw text 1 longer, beginning \"长文本$(xs 31)\"" <<EOF
start harness_testdialog.exe
window 测试对话框
textlog 1001
type 1001 长文本$(xs 1100)
textlog-is 1001 长文本
EOF

[ -z "$(lingering)" ] || fail "a failing script left the dialog running: $(lingering)"

[ "$failures" = 0 ] && echo "all checks passed" || exit 1
