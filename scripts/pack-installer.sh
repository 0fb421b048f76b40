#!/usr/bin/env bash
# Packs the installer: the bare ParvaneSetup.exe image with the product's
# files behind it (the stand-in programs, the guard driver, the 20 button
# bitmaps under Skin\, and a copy of the installer itself), then verifies it.
#   scripts/pack-installer.sh HOST_BUILD WIN_BUILD OUT
# UNINSTALLER_IMAGE, when set, is packed as the installed ParvaneSetup.exe
# in place of the bare image (a release packs a signed copy there).
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 HOST_BUILD WIN_BUILD OUT" >&2
  exit 2
fi
host=$1 win=$2 out=$3
pack=$host/tools/pack/parvane-pack
image=$win/ParvaneSetup.exe

# Package name, then source; names without a folder go straight into the
# install folder. The package keeps this order.
entries=(
  "Parvane.exe"         "$win/product/Parvane.exe"
  "InstallGuardDrv.exe" "$win/product/InstallGuardDrv.exe"
  "SkinCtl.ocx"         "$win/product/SkinCtl.ocx"
  "ParvaneGuard.sys"    "$win/product/ParvaneGuard.sys"
)
for button in install next back cancel browse; do
  for state in normal hot down disabled; do
    bitmap=btn_${button}_${state}.bmp
    entries+=("Skin\\$bitmap" "$host/product/Skin/$bitmap")
  done
done
entries+=("ParvaneSetup.exe" "${UNINSTALLER_IMAGE:-$image}")

missing=()
[ -x "$pack" ] || missing+=("$pack")
for ((i = 1; i < ${#entries[@]}; i += 2)); do
  [ -f "${entries[i]}" ] || missing+=("${entries[i]}")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "pack-installer: missing inputs (build with 'make host windows'):" >&2
  printf '  %s\n' "${missing[@]}" >&2
  exit 1
fi

work=$(mktemp -d)
partial=$out.packing.$$
trap 'rm -rf "$work"; rm -f "$partial"' EXIT
list=$work/installer.lst
for ((i = 0; i < ${#entries[@]}; i += 2)); do
  printf '%s\t%s\n' "${entries[i]}" "$(realpath "${entries[i + 1]}")"
done > "$list"

mkdir -p "$(dirname "$out")"
"$pack" build --image "$image" --out "$partial" --title "" --list "$list" --jobs "$(nproc)"
# Only a package that verifies takes the final name.
if ! "$pack" verify "$partial"; then
  echo "pack-installer: the new package failed verification; $out is unchanged" >&2
  exit 1
fi
mv -f "$partial" "$out"

count=$("$pack" list --json "$out" | grep -o '"file_hex"' | wc -l)
echo "packed $out: $count entries"
echo "  image   $(stat -c %s "$image") bytes  $image"
echo "  package $(stat -c %s "$out") bytes"
