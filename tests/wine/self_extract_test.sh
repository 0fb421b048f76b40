#!/usr/bin/env bash
# Extracts the same packages with the Win32 build under Wine and with the
# host build, and expects the same callbacks, results and files: the Win32
# file layer, GBK names and the MAX_PATH refusal checked on the real thing.
#   self_extract_test.sh PARVANE_PACK SELF_EXTRACT_EXE
set -euo pipefail
pack=$1 stub=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"; "$root/scripts/wine.sh" --stop' EXIT
source "$root/tests/wine/harness.sh"
drive_c=$WINEPREFIX/drive_c
"$root/scripts/wine.sh" --prepare

# --- one package: nested and GBK folders (one with a 0x5C trail byte), a
# file big enough for many percentages, and a duplicate path.
mkdir -p "$work/src"
head -c 300000 /dev/urandom > "$work/src/random.bin"
seq 1 60000 > "$work/src/numbers.txt"
printf 'first' > "$work/src/first"
printf 'second' > "$work/src/second"
gbk_trail=$'\x81\x5c'          # one character whose trail byte is '\'
gbk_name=$'\xd6\xd0\xce\xc4'   # two characters
{
  printf 'same.txt\tfirst\n'
  printf 'a\\b\\c\\random.bin\trandom.bin\n'
  printf '%s\\%s.txt\tnumbers.txt\n' "$gbk_trail" "$gbk_name"
  printf 'same.txt\tsecond\n'
  printf 'plain.txt\tsecond\n'
} > "$work/src/entries.lst"
"$pack" build --image "$stub" --out "$work/pkg.exe" --list "$work/src/entries.lst" 2>/dev/null

rm -rf "$drive_c/wt"
set +e
"$root/scripts/wine.sh" "$work/pkg.exe" 'C:\wt\out' > "$work/wine.events" 2>/dev/null
wine_status=$?
"$pack" extract "$work/pkg.exe" "$work/host" --events > "$work/host.events" 2>/dev/null
host_status=$?
set -e
tr -d '\r' < "$work/wine.events" > "$work/wine.lf"
[ "$wine_status" = 0 ] || fail "wine run exit status $wine_status"
[ "$host_status" = 0 ] || fail "host run exit status $host_status"
cmp -s "$work/wine.lf" "$work/host.events" || fail "callbacks differ: $(diff "$work/wine.lf" "$work/host.events" | head -5)"
grep -q '^RESULT 1002$' "$work/wine.lf" || fail "no RESULT 1002 under wine"
[ "$(grep -c '^PERCENT' "$work/wine.lf")" -gt 20 ] || fail "too few percentages"

out=$drive_c/wt/out
utf8_trail=$(printf '%s' "$gbk_trail" | iconv -f GBK -t UTF-8)
utf8_name=$(printf '%s' "$gbk_name" | iconv -f GBK -t UTF-8)
cmp -s "$out/a/b/c/random.bin" "$work/src/random.bin" || fail "nested file differs"
cmp -s "$out/$utf8_trail/$utf8_name.txt" "$work/src/numbers.txt" || fail "GBK file differs or is missing"
[ "$(cat "$out/same.txt")" = first ] || fail "the lower index must win for duplicates"
[ "$(ls "$out" | wc -l)" = 4 ] || fail "unexpected names in the target: $(ls "$out")"

# --- output paths of 259 bytes fit, 260 do not; an unsafe name fails too.
target='C:\wt\long'                      # 10 bytes, then a backslash
fits=$(printf 'f%.0s' $(seq 1 248))      # 10 + 1 + 248 = 259
too_long=$(printf 'g%.0s' $(seq 1 249))  # 260
{
  printf '%s\tfirst\n' "$fits"
  printf '%s\tfirst\n' "$too_long"
  printf 'ok.txt\tsecond\n'
} > "$work/src/long.lst"
"$pack" build --image "$stub" --out "$work/long.exe" --list "$work/src/long.lst" 2>/dev/null
set +e
"$root/scripts/wine.sh" "$work/long.exe" "$target" > "$work/long.events" 2>/dev/null
status=$?
set -e
expected=$'BEGIN 2\nDONE 2\nBEGIN 1\nBEGIN 0\nDONE 0\nRESULT 1005'
[ "$(tr -d '\r' < "$work/long.events")" = "$expected" ] ||
  fail "long paths: $(tr -d '\r' < "$work/long.events" | tr '\n' ' ')"
[ "$status" = 1 ] || fail "long paths: exit status $status"
[ -f "$drive_c/wt/long/$fits" ] || fail "the 259-byte path was not written"
[ ! -e "$drive_c/wt/long/$too_long" ] || fail "the 260-byte path was written"

# --- a relative target that is short as passed but too long once made
# absolute: the refusal has to come from the full path.
deep=$drive_c/wt/rel/$(printf 'd%.0s' $(seq 1 200))   # C:\wt\rel\ + 200 bytes
mkdir -p "$deep"
short=$(printf 'a%.0s' $(seq 1 40))   # C:\...\t\ + 40 = 253 bytes
long=$(printf 'b%.0s' $(seq 1 50))    # 263 bytes
printf '%s\tfirst\n%s\tsecond\n' "$short" "$long" > "$work/src/rel.lst"
"$pack" build --image "$stub" --out "$work/rel.exe" --list "$work/src/rel.lst" 2>/dev/null
set +e
(cd "$deep" && "$root/scripts/wine.sh" "$work/rel.exe" t > "$work/rel.events" 2>/dev/null)
set -e
expected=$'BEGIN 1\nBEGIN 0\nDONE 0\nRESULT 1005'
[ "$(tr -d '\r' < "$work/rel.events")" = "$expected" ] ||
  fail "relative target: $(tr -d '\r' < "$work/rel.events" | tr '\n' ' ')"
[ -f "$deep/t/$short" ] || fail "relative target: the short path was not written"

# --- a damaged stream: the entry fails, its partial file is deleted, the
# others are extracted; the host build sees the same.
cp "$work/pkg.exe" "$work/damaged.exe"
offset=$(package_entries "$pack" "$work/damaged.exe" | awk 'NR == 2 { print $1 }')
flip_byte "$work/damaged.exe" $((offset + 5000))
rm -rf "$drive_c/wt/out" "$work/host"
set +e
"$root/scripts/wine.sh" "$work/damaged.exe" 'C:\wt\out' > "$work/damaged.wine" 2>/dev/null
"$pack" extract "$work/damaged.exe" "$work/host" --events > "$work/damaged.host" 2>/dev/null
set -e
tr -d '\r' < "$work/damaged.wine" > "$work/damaged.lf"
cmp -s "$work/damaged.lf" "$work/damaged.host" || fail "damaged: callbacks differ from the host"
grep -q '^RESULT 1005$' "$work/damaged.lf" || fail "damaged: no RESULT 1005 under wine"
grep -q '^DONE 1$' "$work/damaged.lf" && fail "damaged: entry 1 reported done"
[ ! -e "$out/a/b/c/random.bin" ] || fail "damaged: the partial file was left behind"
[ -f "$out/plain.txt" ] || fail "damaged: the other entries were not extracted"

rm -rf "$drive_c/wt"
[ "$failures" = 0 ] && echo "all checks passed" || exit 1
