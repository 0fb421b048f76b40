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

# Writeback of the last round's files must not land inside the next one.
settle() { sync; }
