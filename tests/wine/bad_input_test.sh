#!/usr/bin/env bash
# Damaged and hostile input, each case installed through the windows from a
# fresh copy of the prefix: the package cut short at points across its
# directory and tail, single bytes changed in the tail, the entry count, a
# record and a stream, entry names that leave the install folder, a target
# folder that cannot be written, a full disk, a planted link. Every case
# must end with the message and status line meant for it, the exit code 0
# of a closed wizard (a crash would give another), nothing changed in the
# prefix outside the target folder, and no registry record of a failed
# installation.
#   bad_input_test.sh PACKAGE PARVANE_PACK MAKE_HOSTILE_PACKAGE [SCREENSHOT_FOLDER]
set -euo pipefail
package=$(realpath "$1") pack=$(realpath "$2") make_hostile=$(realpath "$3")
shots=${4:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
mounted=()
immutable=
unmount_all() {
  local point
  for point in "${mounted[@]}"; do umount "$point" 2>/dev/null || true; done
  mounted=()
}
cleanup() {
  wine_session_stop
  unmount_all
  [ -z "$immutable" ] || chattr -i "$immutable" 2>/dev/null || true
  # A folder left without write permission would stop rm as a user.
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
source "$root/tests/wine/harness.sh"
trap cleanup EXIT
started=$SECONDS

caption=安装Parvane
damaged=您的安装文件被损坏,请重新找到正确的安装文件再试.
install_failed=安装失败,Parvane没有安装完成.

# --- The package's layout, from its own directory listing: one line per
# entry, offset, compressed size, inflated size, the two name lengths and
# the path (package_entries).
tail_fields=$(package_tail "$pack" "$package")
read -r payload_end title_length <<<"$tail_fields"
package_entries "$pack" "$package" > "$work/entries"
entry_count=$(wc -l < "$work/entries")
# The directory starts where the last stream ends.
directory_start=$(awk '{ end = $1 + $2; if (end > max) max = end } END { print max }' "$work/entries")
records_length=$(awk '{ sum += 20 + $4 + $5 } END { print sum }' "$work/entries")
if [ "$entry_count" -lt 2 ] ||
   [ $((directory_start + records_length + title_length + 22)) != "$payload_end" ]; then
  echo "FAIL: the package's listing does not add up to its size: $entry_count entries," \
    "directory at $directory_start, $records_length bytes of records, payload end $payload_end"
  exit 1
fi
# Where the fields of entry 0's record lie: its offset, compressed size and
# file-name length; and its path inside the install folder.
read -r first_offset _ _ _ first_file_length first_path < <(head -n 1 "$work/entries")
record0=$directory_start
record0_compressed=$((record0 + 8))
record0_file_length=$((record0 + 12 + first_file_length))
tail_start=$((payload_end - 22))

# What the package holds, as the host build extracts it.
"$pack" extract "$package" "$work/expected" >/dev/null
[ -f "$work/expected/$first_path" ] || { echo "FAIL: entry 0 ($first_path) not extracted on the host"; exit 1; }

# --- The prefix every case starts from: the project's, without an earlier
# installation, with the setup folder ready; saved to disk by its server's
# exit.
mkdir -p "$work/base"
wine_private_prefix "$work/base"
base=$WINEPREFIX
wine_session_start
forget_installation
mkdir -p "$base/drive_c/setup"
wine_session_stop

# run_case NAME PACKAGE TARGET < LINES: a fresh copy of the base prefix, the
# package in it as C:\setup\Setup.exe, the optional set-up $case_setup,
# then the driver through the wizard to Install into TARGET, followed by
# LINES. The prefix outside TARGET must be as it was, apart from the Unix
# paths in the array case_may_change.
run_case() {
  local name=$1 exe=$2 target=$3 changed
  case_name=$name
  rm -rf "$work/case"
  mkdir "$work/case"
  cp -a "$base" "$work/case/prefix"
  export WINEPREFIX=$work/case/prefix
  drive_c=$WINEPREFIX/drive_c
  cp "$exe" "$drive_c/setup/Setup.exe"
  target_unix=$(win_path_to_unix "$target")
  [ -z "${case_setup:-}" ] || "$case_setup"
  wine_session_start
  prefix_tree "$target_unix" "${case_may_change[@]}" > "$work/$name.before"
  # Not through a pipe: check counts in this shell's $failures.
  check "$name" < <(start_install '"C:\setup\Setup.exe"' "$target"; cat)
  wine_session_stop
  prefix_tree "$target_unix" "${case_may_change[@]}" > "$work/$name.after"
  if ! changed=$(diff "$work/$name.before" "$work/$name.after"); then
    fail "$name: the prefix changed outside the target folder:"
    sed 's/^/    /' <<<"$changed" | head -20
  fi
  case_setup=
  case_may_change=()
}
case_setup=
case_may_change=()

# failed_install MESSAGE_LINE [SHOT_OF_MESSAGE [SHOT_OF_PAGE]]: the lines
# after Install for a run that must stop: the driver line that checks the
# message box, then the page with the failure on its status line, Exit
# ending the wizard with 0, and no registry record ($records_kept names the
# product key's values a case planted and expects unchanged instead).
failed_install() {
  cat <<SCRIPT
$1
$([ -z "${2:-}" ] || shot "$2")
click 1
window $caption
waittext 1002 $install_failed 5000
$([ -z "${3:-}" ] || shot "$3")
visible 1001 0
visible 1 0
visible 1005 0
text 2 退出(&Q)
enabled 2 1
click 2
exit 0
noregkey $uninstall_key
${records_kept:-noregkey $product_key}
SCRIPT
}

# target_holds_package_less NAME [PATH]: the target folder holds what the
# package holds, less the entry PATH ('/' separators) if given.
target_holds_package_less() {
  local name=$1 path=${2:-} expected= saw
  [ -z "$path" ] || expected="Only in $(dirname "$work/expected/$path"): ${path##*/}"
  saw=$(diff -r "$work/expected" "$target_unix" 2>&1 || true)
  [ "$saw" = "$expected" ] ||
    fail "$name: the target folder should hold the package${path:+ less $path}: $(head -5 <<<"$saw")"
}

# --- The package cut short: five points through the records, the end of
# the records, and inside the tail. The tail is gone, so the check of the
# package on Install refuses it before anything is written.
cuts=()
for k in 0 1 2 3 4 5; do cuts+=($((directory_start + k * records_length / 6))); done
cuts+=("$tail_start" $((payload_end - 18)) $((payload_end - 10)) $((payload_end - 1)))
for cut in "${cuts[@]}"; do
  head -c "$cut" "$package" > "$work/cut.exe"
  shot_name=
  [ "$cut" != $((payload_end - 1)) ] || shot_name=bad-input-damaged
  run_case "cut_at_$cut" "$work/cut.exe" 'C:\Cut' < <(
    failed_install "messagebox $caption $damaged" "$shot_name")
  [ ! -e "$target_unix" ] || fail "$case_name: the target folder was created"
done
keep_shot bad-input-damaged

# --- Single bytes changed. In the tail and the entry count the directory
# no longer reads: refused on Install, nothing written.
flipped_directory() {
  local name=$1 position=$2
  cp "$package" "$work/flipped.exe"
  flip_byte "$work/flipped.exe" "$position"
  run_case "$name" "$work/flipped.exe" 'C:\Flipped' < <(
    failed_install "messagebox $caption $damaged")
  [ ! -e "$target_unix" ] || fail "$name: the target folder was created"
}
flipped_directory flip_magic $((payload_end - 5))
flipped_directory flip_version $((payload_end - 12))
flipped_directory flip_title_length "$tail_start"
flipped_directory flip_count_low $((payload_end - 18))
flipped_directory flip_count_high $((payload_end - 15))

# A changed file-name length makes entry 0's record read from the wrong
# place: its name, sizes and offset are garbage, so that entry fails and the
# others are extracted; the run stops before anything is registered.
cp "$package" "$work/flipped.exe"
flip_byte "$work/flipped.exe" "$record0_file_length"
run_case flip_name_length "$work/flipped.exe" 'C:\Flipped' < <(
  failed_install "messagebox $caption $damaged")
target_holds_package_less flip_name_length "$first_path"

# A byte inside entry 0's stream: its checksum fails, its file is removed,
# the other entries are extracted, and the run stops.
cp "$package" "$work/flipped.exe"
flip_byte "$work/flipped.exe" $((first_offset + 40))
run_case flip_stream "$work/flipped.exe" 'C:\Flipped' < <(
  failed_install "messagebox $caption $damaged" "" bad-input-entry-failed)
keep_shot bad-input-entry-failed
target_holds_package_less flip_stream "$first_path"

# The compressed size only measures the progress: the stream decides what is
# written, so the installation completes with every file intact. Its
# shortcuts are the only things a finished installation writes outside its
# folder.
cp "$package" "$work/flipped.exe"
flip_byte "$work/flipped.exe" "$record0_compressed"
case_may_change=("$work/case/prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Parvane"
                 "$work/case/prefix/drive_c/users/Public/Desktop/Parvane.lnk")
run_case flip_compressed_size "$work/flipped.exe" 'C:\Flipped' <<SCRIPT
$install_finished
text 2 完成(&O)
click 2
exit 0
regvalue $uninstall_key DisplayName REG_SZ $(reg_sz Parvane)
regvalue $product_key InstallDir REG_SZ $(reg_sz 'C:\Flipped\')
SCRIPT
target_holds_package_less flip_compressed_size

# --- Entry names that leave the install folder: parvane-pack refuses to
# build such a package, and the installer refuses each such entry, extracts
# the two that stay inside and stops.
printf 'escape.txt\n' > "$work/escape.txt"
printf '..\\escape.txt\tescape.txt\n' > "$work/escape.list"
if "$pack" build --image "$PARVANE_WIN32_BUILD/ParvaneSetup.exe" --out "$work/escape.exe" \
    --list "$work/escape.list" > "$work/escape.log" 2>&1; then
  fail "parvane-pack built a package with the entry ..\\escape.txt"
fi
mkdir -p "$work/outside"
"$make_hostile" "$PARVANE_WIN32_BUILD/ParvaneSetup.exe" "$work/hostile.exe" \
  "$(unix_path_to_win "$work/outside")\\"
"$pack" verify "$work/hostile.exe" > "$work/hostile.verify" 2>&1 || true
[ "$(grep -c 'unsafe name' "$work/hostile.verify")" = 10 ] ||
  fail "parvane-pack verify should find 10 unsafe names: $(cat "$work/hostile.verify")"
run_case hostile_names "$work/hostile.exe" 'C:\Hostile' < <(
  failed_install "messagebox $caption $damaged")
(cd "$target_unix" && find . -printf '%y %p\n' | LC_ALL=C sort) > "$work/hostile.target"
printf '%s\n' 'd .' 'd ./Sub' 'f ./Sub/kept.txt' 'f ./kept.txt' | cmp -s - "$work/hostile.target" ||
  fail "hostile_names: the target folder should hold kept.txt and Sub\\kept.txt only: $(tr '\n' ' ' < "$work/hostile.target")"
escaped=$(find "$WINEPREFIX" "$work/outside" -name 'escaped-*' 2>/dev/null)
[ -z "$escaped" ] || fail "hostile_names: files outside the target folder: $escaped"

# --- A target folder that cannot be written. As root the permission bits
# alone stop nothing (an installation into a chmod 555 folder went
# through), so there the folder is made immutable as well.
readonly_setup() {
  mkdir -p "$target_unix"
  chmod 555 "$target_unix"
  if [ "$(id -u)" = 0 ]; then
    chattr +i "$target_unix" && immutable=$target_unix
  fi
}
mkdir -p "$work/attribute-probe"
if [ "$(id -u)" != 0 ] || chattr +i "$work/attribute-probe" 2>"$work/chattr.log"; then
  chattr -i "$work/attribute-probe" 2>/dev/null || true
  case_setup=readonly_setup
  run_case readonly_target "$package" 'C:\ReadOnly' < <(
    failed_install "messagebox $caption 无法在安装目录中写入文件，Parvane没有安装完成。请选择另一个安装目录后重新安装。")
  [ -z "$immutable" ] || chattr -i "$immutable"
  immutable=
  [ -z "$(ls -A "$target_unix")" ] || fail "readonly_target: files in the read-only folder: $(ls -A "$target_unix")"
else
  echo "SKIPPED: readonly_target: running as root on a file system without immutable folders" \
    "($(cat "$work/chattr.log")); the read-only case did not run"
fi

# --- A full disk: a file system smaller than the first file extracted, the
# last entry of the directory, which fails while it is written.
read -r _ _ last_inflated _ _ last_path < <(tail -n 1 "$work/entries")
tiny_setup() {
  mkdir -p "$drive_c/tiny"
  if mount -t tmpfs -o size=$((last_inflated / 2 / 4096 * 4 + 4))k tmpfs "$drive_c/tiny" 2>"$work/mount.log"; then
    mounted+=("$drive_c/tiny")
  else
    fail "full_disk: the small file system did not mount: $(cat "$work/mount.log")"
  fi
}
mkdir -p "$work/mount-probe"
if mount -t tmpfs -o size=4k tmpfs "$work/mount-probe" 2>"$work/mount.log"; then
  umount "$work/mount-probe"
  case_setup=tiny_setup
  run_case full_disk "$package" 'C:\tiny\Parvane' < <(
    failed_install "messagebox $caption \"无法写入文件，Parvane没有安装完成。\r\nC:\\tiny\\Parvane\\${last_path//\//\\}\r\n磁盘满。\"" \
      bad-input-disk-full)
  keep_shot bad-input-disk-full
  [ ! -e "$target_unix/$last_path" ] || fail "full_disk: the file that did not fit is still there"
  unmount_all
else
  echo "SKIPPED: full_disk: this machine cannot mount a small file system ($(cat "$work/mount.log"));"
  echo "SKIPPED: full_disk: the full-disk case did not run"
fi

# --- A planted link: a folder the payload writes into is already there as
# a link to a folder outside the target (a Unix symlink, which Wine shows as
# a reparse point, attributes 0x410). In a folder of no installation the
# link is something the package does not bring: Install is refused before
# anything is written. In the folder of the recorded installation, where a
# reinstall goes ahead, extraction refuses every entry that would pass
# through the link: the link stays, nothing reaches its destination, the
# other entries are extracted, and the message names the link and asks for
# another folder (the package is fine). Wine differs from Windows twice here:
# CreateSymbolicLinkA makes nothing, so the link is made from Linux; and a
# Unix symlink to a file shows as a plain file (0x20), not as a reparse
# point, so a planted file link cannot be told from a file under Wine and
# is not tried.
linked_folder=$(awk '$4 > 0' "$work/entries" | sed -n '1s/^\([^ ]* \)\{5\}//p')
linked_folder=${linked_folder%%/*}
[ -n "$linked_folder" ] || fail "planted_link: the package has no entry in a folder to plant a link at"
linked_count=$(cd "$work/expected" && find "./$linked_folder" -type f | wc -l)
link_setup() {
  mkdir -p "$target_unix" "$drive_c/LinkedAway"
  ln -s "$drive_c/LinkedAway" "$target_unix/$linked_folder"
}
recorded_link_setup() {
  link_setup
  record_install_folder 'C:\Linked\'
}
case_setup=link_setup
run_case planted_link_new_folder "$package" 'C:\Linked' <<SCRIPT
messagebox $caption "安装目录中已有其他文件或文件夹：\r\nC:\\Linked\\$linked_folder\r\n卸载Parvane时会删除这个目录中的全部内容。请选择一个空的或新的目录，例如：\r\nC:\\Linked\\Parvane\\"
click 1
window $caption
visible 1005 1
click 2
exit 0
noregkey $uninstall_key
noregkey $product_key
SCRIPT
[ "$(ls -A "$target_unix")" = "$linked_folder" ] && [ -z "$(ls -A "$drive_c/LinkedAway")" ] ||
  fail "planted_link_new_folder: something was written: $(ls -A "$target_unix" "$drive_c/LinkedAway" | tr '\n' ' ')"
case_setup=recorded_link_setup
records_kept="regvalue $product_key \"install path\" REG_SZ $(reg_sz 'C:\Linked\')
noregvalue $product_key InstallDir"
run_case planted_link "$package" 'C:\Linked' < <(
  failed_install "messagebox $caption \"安装目录中有指向其他位置的链接，为安全起见没有通过它写入文件，Parvane没有安装完成。请选择另一个安装目录后重新安装。\r\nC:\\Linked\\$linked_folder\"" \
    bad-input-link-message bad-input-link)
records_kept=
keep_shot bad-input-link-message
keep_shot bad-input-link
[ -z "$(ls -A "$drive_c/LinkedAway")" ] ||
  fail "planted_link: files written through the link: $(ls -A "$drive_c/LinkedAway" | head -5 | tr '\n' ' ')"
[ -L "$target_unix/$linked_folder" ] || fail "planted_link: the planted link is gone"
saw=$(cd "$target_unix" && find . -path "./$linked_folder" -prune -o -type f -print | wc -l)
[ "$saw" = $((entry_count - linked_count)) ] ||
  fail "planted_link: $saw files extracted beside the link, not $((entry_count - linked_count))"

elapsed=$((SECONDS - started))
echo "bad input checks: $failures failed, ${elapsed} s"
[ "$failures" = 0 ]
