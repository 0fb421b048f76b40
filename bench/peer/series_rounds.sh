#!/usr/bin/env bash
# How the cost grows: both installers install trees of 100, 1,000 and
# 10,000 files of 4 KiB and of 10, 100 and 400 MB in 40 files, in turns,
# BENCH_SERIES_ROUNDS rounds each (default 3), each into a new folder; then
# both uninstallers remove what they installed of the counted trees, ours
# the folder recorded for it, the peer's in place. All installs come
# before all removals, since making many files right after deleting many
# is slower on some file systems; run.sh removes what is left. Timed as install_rounds.sh and
# removal_rounds.sh time theirs.
source "$(dirname "$0")/common.sh"
series_rounds=${BENCH_SERIES_ROUNDS:-3}
read -r -a trees <<< "${BENCH_SERIES_TREES:?run through bench/peer/run.sh}"
root=$drive_c/bench/series
rm -rf "$root"
mkdir -p "$root"

for tree in "${trees[@]}"; do
  for round in $(seq 1 "$series_rounds"); do
    line="  $tree round $round"
    for side in ours nsis; do
      name=series-install-$tree-$side-$round
      folder=$tree-$side-$round
      installer=peer-$tree.exe
      [ "$side" = nsis ] || installer=ours-$tree.exe
      ms=$(install_round "$side" "$installer" "C:\\bench\\series\\$folder" "$name")
      check_installed "$side" "$root/$folder" "$work/tree-$tree"
      record "series_install_$tree" "$side" "$ms"
      line+="  $side ${ms} ms"
    done
    echo "$line"
  done
done

make_peer_uninstaller
for tree in "${trees[@]}"; do
  [ "${tree#count-}" != "$tree" ] || continue
  for round in $(seq 1 "$series_rounds"); do
    line="  removal $tree round $round"
    for side in ours nsis; do
      name=series-removal-$tree-$side-$round
      folder=$tree-$side-$round
      ms=$(removal_round "$side" "C:\\bench\\series\\$folder" "$name")
      if [ -e "$root/$folder" ]; then
        echo "bench: $side left $(find "$root/$folder" | wc -l) entries of $folder" >&2
        exit 1
      fi
      record "series_removal_$tree" "$side" "$ms"
      line+="  $side ${ms} ms"
    done
    echo "$line"
  done
done
