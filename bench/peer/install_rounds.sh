#!/usr/bin/env bash
# Both installers install the same tree into an empty folder, in turns:
# ours through its windows, timed by the driver from the Install click to
# the finished page's text; the peer silently, timed by the driver from its
# start to its exit. A first round of each warms the caches and is not
# counted. Every installed tree is checked against the source: the first
# counted round byte for byte, the others by file count and size. Each
# round gets a new folder and the trees stay until the end, since making
# many files right after deleting many is slower on some file systems.
source "$(dirname "$0")/common.sh"
source_tree=$work/tree-peer
rm -rf "$drive_c/bench/t"
mkdir -p "$drive_c/bench/t"

for round in $(seq 0 "$rounds"); do
  for side in ours nsis; do
    name=install-$side-$round
    target="C:\\bench\\t\\$side-$round"
    folder=$drive_c/bench/t/$side-$round
    installer=peer-setup.exe
    [ "$side" = nsis ] || installer=ours-setup.exe
    ms=$(install_round "$side" "$installer" "$target" "$name")
    check_installed "$side" "$folder" "$source_tree"
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
