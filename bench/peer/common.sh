# Sourced by the steps of bench/peer/run.sh, each run as its own process
# inside the session run.sh started (DISPLAY, WINEPREFIX and the BENCH_*
# variables come from there).
# shellcheck shell=bash
set -euo pipefail
BENCH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../tests/wine/harness.sh
source "$BENCH_ROOT/tests/wine/harness.sh"
work=${BENCH_WORK:?run through bench/peer/run.sh}
rounds=${BENCH_ROUNDS:-5}
samples=$work/samples.tsv
logs=$work/logs
drive_c=$WINEPREFIX/drive_c
mkdir -p "$logs"

# record MEASURE SIDE VALUE: one sample for the report.
record() { printf '%s\t%s\t%s\n' "$1" "$2" "$3" >> "$samples"; }

# drive NAME SCRIPT-ON-STDIN: one driver run, its log kept as
# $logs/NAME.log; on a failure the log is shown and the step ends, since a
# figure from a run that went wrong measures nothing.
drive() {
  local name=$1
  cat > "$logs/$name.ui"
  if ! run_driver "$logs/$name.ui" "$logs/$name.log" >/dev/null; then
    echo "bench: the driver run $name failed:" >&2
    grep -E '^(FAIL|ERROR|note)' "$logs/$name.log" >&2 || tail -5 "$logs/$name.log" >&2
    exit 1
  fi
}

# lap NAME LAPNAME: the milliseconds of `stopwatch print LAPNAME` in a log.
lap() {
  local ms
  ms=$(sed -nE "s/^stopwatch $2: ([0-9]+\\.[0-9]) ms\$/\\1/p" "$logs/$1.log")
  [ -n "$ms" ] || { echo "bench: no lap $2 in $logs/$1.log" >&2; exit 1; }
  printf '%s\n' "$ms"
}

# tree_shape DIR: "FILES BYTES" of the regular files below DIR.
tree_shape() {
  find "$1" -type f -printf '%s\n' | awk '{ n++; s += $1 } END { printf "%d %d\n", n, s }'
}

# settle [FILE...]: before a round. Writeback of the last round's files
# must not land inside the next one, and the installer about to run is read
# once, so that neither side pays for reading back a file the system's
# memory manager has paged out since it was written.
settle() {
  sync
  [ $# -eq 0 ] || cat "$@" > /dev/null
}

# make_peer_uninstaller: C:\bench\uninst.exe, written by an installer of
# the peer's that does nothing else, unless it is there.
make_peer_uninstaller() {
  [ -f "$drive_c/bench/uninst.exe" ] && return
  printf 'start "C:\\bench\\peer-removal.exe"\nexit 0 60000\n' | drive make-uninstaller
  [ -f "$drive_c/bench/uninst.exe" ] || { echo "bench: no uninst.exe was written" >&2; exit 1; }
}

# ours_install PACKAGE TARGET: a driver script that installs the package
# (a file name in C:\bench) into TARGET through its windows and prints the
# lap `install`, from the Install click to the success text. The driver's
# hooks go once the click is made: no user's machine has them.
ours_install() {
  to_target_page "\"C:\\bench\\$1\"" 30000
  cat <<SCRIPT
type 1005 "$2"
stopwatch start
click 1
unhook
waittext 1002 安装Parvane成功. 600000
stopwatch print install
click 2
exit 0 60000
SCRIPT
}

# peer_install INSTALLER TARGET: the peer's installer run silently into
# TARGET, the lap `install` from its start to its exit.
peer_install() {
  cat <<SCRIPT
stopwatch start
start "C:\\bench\\$1" /S /D=$2
exit 0 600000
stopwatch print install
SCRIPT
}

# ours_removal: our uninstall of the recorded installation through its
# dialog, the lap `removal` from Enter to the text that reports it done.
ours_removal() {
  cat <<'SCRIPT'
start "C:\bench\ParvaneSetup.exe" uninstall
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

# peer_removal FOLDER: the peer's uninstaller, silently and in place (_?=
# keeps it from copying itself away first, so its exit is the end of the
# work), on FOLDER, the lap `removal` from its start to its exit.
peer_removal() {
  cat <<SCRIPT
stopwatch start
start "C:\\bench\\uninst.exe" /S _?=$1
exit 0 600000
stopwatch print removal
SCRIPT
}

# install_round SIDE INSTALLER TARGET NAME: one timed install, ours through
# its windows or the peer silently, after settling; prints the milliseconds.
install_round() {
  settle "$drive_c/bench/$2"
  if [ "$1" = ours ]; then ours_install "$2" "$3" | drive "$4"; else peer_install "$2" "$3" | drive "$4"; fi
  lap "$4" install
}

# removal_round SIDE FOLDER NAME: one timed uninstall of FOLDER, ours of
# the folder recorded for it, the peer's in place; prints the milliseconds.
removal_round() {
  settle
  if [ "$1" = ours ]; then
    record_install_folder "$2\\"
    ours_removal | drive "$3"
  else
    peer_removal "$2" | drive "$3"
  fi
  lap "$3" removal
}

# check_installed SIDE FOLDER SOURCE: the installed folder holds as many
# files and bytes as the source tree; a figure from a run that went wrong
# measures nothing.
check_installed() {
  local shape expected
  shape=$(tree_shape "$2")
  expected=$(tree_shape "$3")
  if [ "$shape" != "$expected" ]; then
    echo "bench: $1 installed $shape (files bytes) into $2, the source holds $expected" >&2
    exit 1
  fi
}
