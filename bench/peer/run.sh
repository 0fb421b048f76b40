#!/usr/bin/env bash
# make bench's comparison with the peer installer (Debian's makensis), after
# the native payload_bench. From generated trees (bench_tree) it builds our
# packages and the peer's installers, then times both sides in one warm
# session of a private copy of the project's Wine prefix: the install of
# the same tree, the uninstall of a 10,000-file tree, ExtractAll against a
# plain inflate loop, and how fast our windows answer while they work.
# The report (report.py) prints the medians and ratios and writes
# OUT/results.json and OUT/summary.png.
#   bench/peer/run.sh HOST_BUILD WIN_BUILD OUT
# BENCH_ROUNDS sets the rounds of the install and uninstall pairs (default
# 5), BENCH_EXTRACT_ROUNDS those of the extraction pairs (default 9).
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 HOST_BUILD WIN_BUILD OUT" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
host=$(realpath "$1") win=$(realpath "$2") out=$(realpath -m "$3")
export BENCH_WORK=$out/peer BENCH_ROUNDS=${BENCH_ROUNDS:-5} PARVANE_WIN32_BUILD=$win
work=$BENCH_WORK
pack=$host/tools/pack/parvane-pack
mkdir -p "$work"
rm -rf "$work/logs" "$work/wine"
: > "$work/samples.tsv"
started=$SECONDS
step() { printf '\n== %s  (%d s into the run)\n' "$1" $((SECONDS - started)); }

step "trees"
for tree in peer large removal; do
  "$host/bench/bench_tree" "$tree" "$work/tree-$tree"
done

step "installers"
"$pack" build --image "$win/ParvaneSetup.exe" --out "$work/ours-setup.exe" "$work/tree-peer" >/dev/null
"$pack" build --image "$win/ParvaneSetup.exe" --out "$work/ours-large.exe" "$work/tree-large" >/dev/null
# makensis takes a licence with Chinese text from UTF-8 only with its BOM.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$root/res/licence_utf8.txt"; } > "$work/licence.txt"
makensis -V2 -DTREE="$work/tree-peer" -DLICENCE="$work/licence.txt" \
  -DOUTFILE="$work/peer-setup.exe" "$here/peer-install.nsi"
makensis -V2 -DOUTFILE="$work/peer-removal.exe" "$here/peer-removal.nsi"
makensis -V2 -DLICENCE="$work/licence.txt" -DOUTFILE="$work/peer-image.exe" "$here/peer-image.nsi"
for file in ours-setup ours-large peer-setup peer-removal peer-image; do
  printf '  %-13s %10d bytes\n' "$file.exe" "$(stat -c %s "$work/$file.exe")"
done

step "image sizes"
"$here/sizes.sh" "$win/ParvaneSetup.exe" "$win/ParvaneSetup.map" "$work/peer-image.exe" \
  "$work/samples.tsv"

source "$root/tests/wine/harness.sh"
mkdir -p "$work/wine"
wine_private_prefix "$work/wine"
trap 'wine_session_stop; rm -rf "$work/wine"' EXIT
wine_session_start
mkdir -p "$WINEPREFIX/drive_c/bench"
cp "$work/ours-setup.exe" "$work/ours-large.exe" "$work/peer-setup.exe" "$work/peer-removal.exe" \
  "$win/ParvaneSetup.exe" "$WINEPREFIX/drive_c/bench/"

step "install: $BENCH_ROUNDS rounds each after a warm-up, ours through its windows, NSIS with /S"
"$here/install_rounds.sh"
step "uninstall of 10,000 files: $BENCH_ROUNDS rounds each"
"$here/removal_rounds.sh"
step "extraction under Wine: ${BENCH_EXTRACT_ROUNDS:-9} paired rounds"
"$here/extract_rounds.sh"
step "responsiveness: a read every 10 ms"
"$here/responsiveness.sh"
wine_session_stop
rm -rf "$work/wine"
trap - EXIT

step "report"
python3 "$here/report.py" "$work/samples.tsv" "$out/native.json" "$out"
printf '\nmake bench took %d s\n' $((SECONDS - started))
