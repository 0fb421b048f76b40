#!/usr/bin/env bash
# Both installers install the same tree into an empty folder, in turns:
# ours through its windows, timed by the driver from the Install click to
# the finished page's text; the peer silently, timed by the driver from its
# start to its exit. A first round of each warms the caches and is not
# counted. Every installed tree is checked against the source: the first
# counted round byte for byte, the others by file count and size.
source "$(dirname "$0")/common.sh"
source_tree=$work/tree-peer
expected=$(tree_shape "$source_tree")
mkdir -p "$drive_c/bench/t"

ours() {
  local target=$1
  to_target_page '"C:\bench\ours-setup.exe"' 30000
  cat <<SCRIPT
type 1005 "$target"
stopwatch start
click 1
unhook
waittext 1002 安装Parvane成功. 600000
stopwatch print install
click 2
exit 0 60000
SCRIPT
}

peer() {
  cat <<SCRIPT
stopwatch start
start "C:\\bench\\peer-setup.exe" /S /D=$1
exit 0 600000
stopwatch print install
SCRIPT
}

for round in $(seq 0 "$rounds"); do
  for side in ours nsis; do
    name=install-$side-$round
    target="C:\\bench\\t\\$side-$round"
    folder=$drive_c/bench/t/$side-$round
    rm -rf "$drive_c/bench/t"/*
    settle
    if [ "$side" = ours ]; then ours "$target" | drive "$name"; else peer "$target" | drive "$name"; fi
    ms=$(lap "$name" install)
    shape=$(tree_shape "$folder")
    if [ "$shape" != "$expected" ]; then
      echo "bench: $side installed $shape (files bytes), the source holds $expected" >&2
      exit 1
    fi
    if [ "$round" = 1 ] && ! diff -rq "$source_tree" "$folder" >&2; then
      echo "bench: $side installed other bytes than the source's" >&2
      exit 1
    fi
    if [ "$round" = 0 ]; then
      echo "  warm-up  $side ${ms} ms"
    else
      echo "  round $round  $side ${ms} ms"
      record install "$side" "$ms"
    fi
  done
done
rm -rf "$drive_c/bench/t"
