#!/usr/bin/env bash
# Both uninstallers remove the same 10,000-file tree, made afresh before
# each run, in turns: ours through its dialog, timed by the driver from the
# Enter that starts the removal to the text that reports it done; the
# peer's uninstaller silently and in place (_?= keeps it from copying
# itself away first, so its exit is the end of the work), timed by the
# driver from its start to its exit. Each must leave nothing of the tree.
source "$(dirname "$0")/common.sh"
tree=$work/tree-removal
target=$drive_c/rmtree

# The peer's uninstaller is written by an installer that does nothing else.
drive make-uninstaller <<'SCRIPT'
start "C:\\bench\\peer-removal.exe"
exit 0 60000
SCRIPT
[ -f "$drive_c/bench/uninst.exe" ] || { echo "bench: no uninst.exe was written" >&2; exit 1; }
record_install_folder 'C:\rmtree\'

ours() {
  cat <<'SCRIPT'
start "C:\\bench\\ParvaneSetup.exe" uninstall
window 卸载Parvane 30000
stopwatch start
key enter
unhook
waittext 1000 删除成功 600000
stopwatch print removal
click 1
exit 0 60000
SCRIPT
}

peer() {
  cat <<'SCRIPT'
stopwatch start
start "C:\\bench\\uninst.exe" /S _?=C:\rmtree
exit 0 600000
stopwatch print removal
SCRIPT
}

for round in $(seq 1 "$rounds"); do
  for side in ours nsis; do
    name=removal-$side-$round
    rm -rf "$target"
    cp -a "$tree" "$target"
    settle
    if [ "$side" = ours ]; then ours | drive "$name"; else peer | drive "$name"; fi
    ms=$(lap "$name" removal)
    if [ -e "$target" ]; then
      echo "bench: $side left $(find "$target" | wc -l) entries of the tree" >&2
      exit 1
    fi
    echo "  round $round  $side ${ms} ms"
    record removal "$side" "$ms"
  done
done
