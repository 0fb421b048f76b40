#!/usr/bin/env bash
# Both uninstallers remove the same 10,000-file tree in turns: ours through
# its dialog, timed by the driver from the Enter that starts the removal to
# the text that reports it done; the peer's uninstaller silently and in
# place (_?= keeps it from copying itself away first, so its exit is the
# end of the work), timed by the driver from its start to its exit. Each
# must leave nothing of the tree. Every round's tree is copied before the
# first removal, since making many files right after deleting many is slow
# on some file systems.
source "$(dirname "$0")/common.sh"
tree=$work/tree-removal
make_peer_uninstaller

for round in $(seq 1 "$rounds"); do
  for side in ours nsis; do
    rm -rf "$drive_c/rmtree-$side-$round"
    cp -a "$tree" "$drive_c/rmtree-$side-$round"
  done
done

for round in $(seq 1 "$rounds"); do
  for side in ours nsis; do
    name=removal-$side-$round
    target=$drive_c/rmtree-$side-$round
    ms=$(removal_round "$side" "C:\\rmtree-$side-$round" "$name")
    if [ -e "$target" ]; then
      echo "bench: $side left $(find "$target" | wc -l) entries of the tree" >&2
      exit 1
    fi
    echo "  round $round  $side ${ms} ms"
    record removal "$side" "$ms"
  done
done
