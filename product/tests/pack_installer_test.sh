#!/usr/bin/env bash
# Packs the installer with scripts/pack-installer.sh from staged copies of
# both builds and checks the package: 25 entries under the expected names in
# order, each the right file, behind the image; and that a missing input
# stops the script before anything is written.
#   pack_installer_test.sh PACK_INSTALLER HOST_BUILD WIN_BUILD
set -euo pipefail
script=$1 host=$2 win=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Staged builds: the script only reads them, and the image need not be the
# real installer (which another build produces) to check the packing.
mkdir -p "$work/host/tools/pack" "$work/host/product/Skin" "$work/win/product"
ln -s "$host/tools/pack/parvane-pack" "$work/host/tools/pack/parvane-pack"
cp "$host"/product/Skin/*.bmp "$work/host/product/Skin/"
for file in Parvane.exe InstallGuardDrv.exe SkinCtl.ocx ParvaneGuard.sys; do
  cp "$win/product/$file" "$work/win/product/"
done
head -c 50000 /dev/urandom > "$work/win/ParvaneSetup.exe"
pack=$work/host/tools/pack/parvane-pack

expected=(Parvane.exe InstallGuardDrv.exe SkinCtl.ocx ParvaneGuard.sys)
for button in install next back cancel browse; do
  for state in normal hot down disabled; do
    expected+=("Skin\\btn_${button}_${state}.bmp")
  done
done
expected+=(ParvaneSetup.exe)

# --- every bitmap is one an image tool reads as a 64x24 BMP.
# (ImageMagick calls a BMP with the 40-byte header BMP3.)
formats=$(identify -format '%m %wx%h\n' "$work"/host/product/Skin/*.bmp 2>&1)
[ "$(echo "$formats" | grep -cE '^BMP3? 64x24$')" = 20 ] || fail "identify: $(echo "$formats" | sort | uniq -c)"

# --- a good run.
out=$work/out/ParvaneSetup.exe
if ! "$script" "$work/host" "$work/win" "$out" > "$work/run.log" 2>&1; then
  fail "pack-installer failed: $(tail -5 "$work/run.log")"
fi
grep -q "^packed $out: 25 entries$" "$work/run.log" || fail "no entry count: $(cat "$work/run.log")"
grep -q "image   50000 bytes" "$work/run.log" || fail "no image size"
grep -q "package $(stat -c %s "$out" 2>/dev/null) bytes" "$work/run.log" || fail "no package size"
[ "$(ls "$work/out")" = ParvaneSetup.exe ] || fail "left behind in the output folder: $(ls "$work/out")"

json=$("$pack" list --json "$out" 2>&1 || true)
echo "$json" | grep -q '^{"code": 1002, "title_hex": "", ' || fail "not a good package with no title: ${json:0:80}"
# Names as hex, folder then file, one per line; od keeps the test to coreutils.
hex_of() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; echo; }
names=$(echo "$json" | grep -o '"folder_hex": "[0-9a-f]*", "file_hex": "[0-9a-f]*"' |
        sed 's/"folder_hex": "\([0-9a-f]*\)", "file_hex": "\([0-9a-f]*\)"/\1\2/')
wanted=$(for name in "${expected[@]}"; do hex_of "$name"; done)
[ "$names" = "$wanted" ] || fail "entry names differ: $(diff <(echo "$names") <(echo "$wanted") | head -4)"
"$pack" verify "$out" > /dev/null || fail "the package does not verify"
cmp -s -n 50000 "$out" "$work/win/ParvaneSetup.exe" || fail "the package does not start with the image"

# Each name holds its own file, not a neighbour's.
"$pack" extract "$out" "$work/extracted" > /dev/null || fail "extract failed"
for file in Parvane.exe InstallGuardDrv.exe SkinCtl.ocx ParvaneGuard.sys; do
  cmp -s "$work/extracted/$file" "$work/win/product/$file" || fail "$file differs from its source"
done
cmp -s "$work/extracted/ParvaneSetup.exe" "$work/win/ParvaneSetup.exe" || fail "ParvaneSetup.exe differs"
for bitmap in "$work"/host/product/Skin/*.bmp; do
  cmp -s "$work/extracted/Skin/$(basename "$bitmap")" "$bitmap" || fail "$(basename "$bitmap") differs"
done

# --- a missing input: a loud failure that names it, and no package.
rm "$work/host/product/Skin/btn_back_hot.bmp"
set +e
"$script" "$work/host" "$work/win" "$work/out2/pkg.exe" > "$work/missing.log" 2>&1
status=$?
set -e
[ "$status" != 0 ] || fail "a missing bitmap was not noticed"
grep -q 'btn_back_hot.bmp' "$work/missing.log" || fail "the missing bitmap is not named"
[ ! -e "$work/out2" ] || fail "something was written despite the missing input"

rm "$work/win/ParvaneSetup.exe"
set +e
"$script" "$work/host" "$work/win" "$out" > "$work/missing.log" 2>&1
status=$?
set -e
[ "$status" != 0 ] || fail "a missing image was not noticed"
grep -q 'ParvaneSetup.exe' "$work/missing.log" || fail "the missing image is not named"

[ "$failures" = 0 ] && echo "all checks passed" || exit 1
