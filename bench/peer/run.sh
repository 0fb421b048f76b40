#!/usr/bin/env bash
# make bench's comparison with the peer installer (Debian's makensis), after
# the native payload_bench. From generated trees (bench_tree) it builds our
# packages and the peer's installers, then times both sides in one warm
# session of a private copy of the project's Wine prefix: the install of
# the same tree, the uninstall of a 10,000-file tree, ExtractAll against a
# plain inflate loop, and how the install and uninstall times grow with the
# file count and the bytes, and how fast our windows answer while they work.
# The report (report.py) prints the medians and ratios and writes
# OUT/results.json and OUT/summary.png.
#   bench/peer/run.sh HOST_BUILD WIN_BUILD OUT
# BENCH_ROUNDS sets the rounds of the install and uninstall pairs (default
# 5), BENCH_SERIES_ROUNDS those of each point of the series (default 3),
# BENCH_EXTRACT_ROUNDS those of the extraction pairs (default 9).
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 HOST_BUILD WIN_BUILD OUT" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
host=$(realpath "$1") win=$(realpath "$2") out=$(realpath -m "$3")
export BENCH_WORK=$out/peer BENCH_ROUNDS=${BENCH_ROUNDS:-5} PARVANE_WIN32_BUILD=$win
export BENCH_SERIES_TREES="count-100 count-1000 count-10000 size-10 size-100 size-400"
work=$BENCH_WORK
pack=$host/tools/pack/parvane-pack
mkdir -p "$work"
rm -rf "$work/logs" "$work/wine"
: > "$work/samples.tsv"
started=$SECONDS
step() { printf '\n== %s  (%d s into the run)\n' "$1" $((SECONDS - started)); }

step "trees"
for tree in peer large removal $BENCH_SERIES_TREES; do
  "$host/bench/bench_tree" "$tree" "$work/tree-$tree"
done

# peer_installer TREE OUT: the peer's installer of a tree. makensis takes
# long on the larger trees and packs on one core, so an installer made
# from the same tree stamp, script and makensis is kept from run to run.
peer_installer() {
  local key
  key=$(cat "$work/tree-$1.stamp" "$here/peer-install.nsi" "$work/licence.txt" | sha256sum)
  key="$key $(makensis -VERSION)"
  if [ -f "$2" ] && [ "$(cat "$2.key" 2>/dev/null)" = "$key" ]; then return; fi
  rm -f "$2.key"
  makensis -V2 -DTREE="$work/tree-$1" -DLICENCE="$work/licence.txt" -DOUTFILE="$2" \
    "$here/peer-install.nsi"
  printf '%s' "$key" > "$2.key"
}

step "installers"
"$pack" build --image "$win/ParvaneSetup.exe" --out "$work/ours-setup.exe" "$work/tree-peer" >/dev/null
"$pack" build --image "$win/ParvaneSetup.exe" --out "$work/ours-large.exe" "$work/tree-large" >/dev/null
# makensis takes a licence with Chinese text from UTF-8 only with its BOM.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$root/res/licence_utf8.txt"; } > "$work/licence.txt"
peer_installer peer "$work/peer-setup.exe"
for tree in $BENCH_SERIES_TREES; do
  "$pack" build --image "$win/ParvaneSetup.exe" --out "$work/ours-$tree.exe" "$work/tree-$tree" >/dev/null
  peer_installer "$tree" "$work/peer-$tree.exe"
done
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
# Linked, not copied: the series' installers alone are over a gigabyte.
for file in "$work"/ours-*.exe "$work"/peer-*.exe "$win/ParvaneSetup.exe"; do
  ln "$file" "$WINEPREFIX/drive_c/bench/" 2>/dev/null || cp "$file" "$WINEPREFIX/drive_c/bench/"
done

step "install: $BENCH_ROUNDS rounds each after a warm-up, ours through its windows, NSIS with /S"
"$here/install_rounds.sh"
step "growth: ${BENCH_SERIES_ROUNDS:-3} rounds of each point, installs first, then uninstalls"
"$here/series_rounds.sh"
rm -rf "$WINEPREFIX/drive_c/bench/t" "$WINEPREFIX/drive_c/bench/series"
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
