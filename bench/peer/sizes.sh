#!/usr/bin/env bash
# Our bare image beside the peer's empty installer with the same pages in
# Simplified Chinese, then what each part of our image costs.
#   sizes.sh IMAGE MAP PEER_IMAGE SAMPLES
set -euo pipefail
image=$1 map=$2 peer=$3 samples=$4
ours_bytes=$(stat -c %s "$image")
peer_bytes=$(stat -c %s "$peer")
printf 'image\tours\t%s\nimage\tnsis\t%s\n' "$ours_bytes" "$peer_bytes" >> "$samples"
printf '  ours  %9d bytes  %s (the image before the payload)\n' "$ours_bytes" "$image"
printf '  NSIS  %9d bytes  Modern UI 2, SimpChinese, five pages, empty payload\n' "$peer_bytes"
awk -v o="$ours_bytes" -v p="$peer_bytes" 'BEGIN { printf "  ours / NSIS = %.2f\n\n", o / p }'
python3 "$(dirname "$0")/../../tools/size/image_costs.py" "$image" "$map"
