#!/usr/bin/env bash
# How long a user's click would wait while our installer works: the driver
# reads the status line and the progress bar every 10 ms, timing each
# round trip, while a 200 MB package extracts into the target page, and
# while the uninstall dialog walks the 10,000-file tree. The watch's limit
# is set far above the goal, so that a slow read is measured, not fatal.
source "$(dirname "$0")/common.sh"

# watch_figures NAME KIND: the reads, max, median and p99 of the watch in
# a log, as samples.
watch_figures() {
  local line
  line=$(grep -m1 '^watch: ' "$logs/$1.log") || { echo "bench: no watch in $1" >&2; exit 1; }
  read -r reads max median p99 < <(sed -nE \
    's/^watch: ([0-9]+) reads in [0-9.]+ ms, max ([0-9.]+) ms.*, median ([0-9.]+) ms, p99 ([0-9.]+) ms;.*/\1 \2 \3 \4/p' \
    <<<"$line")
  record "probe_$2_reads" ours "$reads"
  record "probe_$2_max" ours "$max"
  record "probe_$2_median" ours "$median"
  record "probe_$2_p99" ours "$p99"
  echo "  $2: $reads reads, median $median ms, p99 $p99 ms, max $max ms"
}

rm -rf "$drive_c/bench/big"
settle
{
  to_target_page '"C:\bench\ours-large.exe"' 30000
  cat <<'SCRIPT'
type 1005 "C:\\bench\\big"
click 1
watch 1002 1001 安装Parvane成功. 10000 600000 10
watch-progress-above 20
click 2
exit 0 60000
SCRIPT
} | drive responsive-install
[ "$(tree_shape "$drive_c/bench/big")" = "$(tree_shape "$work/tree-large")" ] ||
  { echo "bench: the large package did not install whole" >&2; exit 1; }
rm -rf "$drive_c/bench/big"
watch_figures responsive-install install

record_install_folder 'C:\rmtree\'
rm -rf "$drive_c/rmtree"
cp -a "$work/tree-removal" "$drive_c/rmtree"
settle
drive responsive-removal <<'SCRIPT'
start "C:\\bench\\ParvaneSetup.exe" uninstall
window 卸载Parvane 30000
key enter
watch 1000 1001 删除成功 10000 600000 10
click 1
exit 0 60000
SCRIPT
[ ! -e "$drive_c/rmtree" ] || { echo "bench: the uninstall left part of the tree" >&2; exit 1; }
watch_figures responsive-removal removal
