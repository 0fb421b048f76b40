#!/usr/bin/env bash
# ExtractAll against the plain 1 MiB inflate loop under Wine, on the
# streams of our peer package: paired rounds, ExtractAll then plain, each
# into a new folder, the disk flushed before each. The folders stay until
# the end, since making many files right after deleting many is slower on
# some file systems, which would land on whichever run came next. The last
# pair's trees must equal the source.
source "$(dirname "$0")/common.sh"
# More pairs than the installs get: each costs about 2 s, and a single
# extraction varies by 2x on a busy machine.
rounds=${BENCH_EXTRACT_ROUNDS:-9}
out=$drive_c/bench/x
rm -rf "$out"
mkdir -p "$out"
bench_exe=$PARVANE_WIN32_BUILD/bench/extract_bench.exe

for round in $(seq 1 "$rounds"); do
  line="  round $round"
  for mode in extractall plain; do
    settle
    log=$logs/extract-$mode-$round.log
    if ! wine_run "$bench_exe" "$mode" 'C:\bench\ours-setup.exe' "C:\\bench\\x\\$mode-$round" \
      >"$log"; then
      echo "bench: extract_bench $mode failed: $(cat "$log")" >&2
      exit 1
    fi
    seconds=$(sed -nE 's/^seconds ([0-9.]+)\r?$/\1/p' "$log")
    [ -n "$seconds" ] || { echo "bench: no time from extract_bench: $(cat "$log")" >&2; exit 1; }
    record "wine_extract" "$mode" "$seconds"
    line+="  $mode ${seconds} s"
  done
  echo "$line"
done
for mode in extractall plain; do
  diff -rq "$work/tree-peer" "$out/$mode-$rounds" >&2 ||
    { echo "bench: $mode extracted other bytes than the source's under Wine" >&2; exit 1; }
done
rm -rf "$out"
