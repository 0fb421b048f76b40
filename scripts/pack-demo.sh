#!/usr/bin/env bash
# Packs a demonstration package: the Windows self-extracting test program
# with a few files behind it, then lists and verifies it.
set -euo pipefail
pack=$1 windows=$2 out=$3
mkdir -p "$out/content/docs"
printf 'Parvane demo package\r\n' > "$out/content/readme.txt"
seq 1 20000 > "$out/content/docs/numbers.txt"
"$pack" build --image "$windows/tests/wine/self_extract.exe" --out "$out/demo.exe" \
  --title "demo" "$out/content"
"$pack" list "$out/demo.exe"
"$pack" verify "$out/demo.exe"
echo "packed $out/demo.exe"
