#!/usr/bin/env bash
# Rebuilds the checked-out commit twice from clean clones, in two folders
# of different names and depths, and holds the results to a release's
# promises: the bare image and the package are byte for byte the same, each
# carries the commit's time and a correct PE checksum, and no build path is
# inside either. Prints the checksums and the SHA-256 of both files.
#   scripts/release-check.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse HEAD)
epoch=$(git -C "$root" log -1 --format=%ct)
work=$(mktemp -d "${TMPDIR:-/tmp}/release-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$root/scripts/install-deps.sh"

# What a release is made of, as the Makefile builds it, with the time stamp
# it chooses itself: the installer image, the product's programs and
# bitmaps, the packing tool, and the package. Not the tests.
build() {
  local source=$1
  git clone -q "$root" "$source"
  git -C "$source" checkout -q "$commit"
  env -u SOURCE_DATE_EPOCH make -C "$source" release-package > "$source.log" 2>&1 ||
    { cat "$source.log"; echo "FAIL: the build in $source failed"; exit 1; }
}

# The stored checksum and the one computed word by word, as the loader does.
checksums() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
field = struct.unpack_from("<I", data, 0x3C)[0] + 4 + 20 + 64
stored = struct.unpack_from("<I", data, field)[0]
words = bytearray(data)
words[field:field + 4] = bytes(4)
if len(words) % 2:
    words.append(0)
total = 0
for (word,) in struct.iter_unpack("<H", bytes(words)):
    total += word
    total = (total & 0xFFFF) + (total >> 16)
print("%08x %08x" % (stored, total + len(data)))
PY
}

started=$SECONDS
first=$work/a
second=$work/release-check-of-the-same-commit/b
build "$first"
build "$second"
echo "two clean builds of $commit: $((SECONDS - started)) s"

for file in win32/ParvaneSetup.exe ParvaneSetup.exe; do
  a=$first/build/$file b=$second/build/$file
  cmp -s "$a" "$b" || fail "$file differs between the two builds: $(cmp "$a" "$b" 2>&1 | head -1)"
  read -r stored computed < <(checksums "$a")
  [ "$stored" = "$computed" ] || fail "$file: PE checksum $stored, computed $computed"
  stamp=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); print(struct.unpack_from("<I", d, struct.unpack_from("<I", d, 0x3C)[0] + 8)[0])' "$a")
  [ "$stamp" = "$epoch" ] || fail "$file: PE time stamp $stamp, not the commit's $epoch"
  for folder in "$first" "$second" "$root"; do
    ! grep -q -a -F "$folder" "$a" || fail "$file holds the build path $folder"
  done
  echo "$file: $(stat -c %s "$a") bytes, PE checksum $stored, sha256 $(sha256sum "$a" | cut -d' ' -f1)"
done

echo "release checks: $failures failed"
[ "$failures" = 0 ]
