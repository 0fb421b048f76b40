#!/usr/bin/env bash
# A signed release, end to end: signed with a throw-away certificate, it
# verifies, lists the same entries as the unsigned package and installs
# completely through its windows; the setup program it leaves behind is
# signed too and uninstalls; one changed payload byte breaks the signature.
# Runs in its own copy of the prefix.
#   signed_install_test.sh HOST_BUILD WIN_BUILD
set -euo pipefail
host=$(realpath "$1") win=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
pack=$host/tools/pack/parvane-pack
work=$(mktemp -d)
cleanup() {
  wine_session_stop
  rm -rf "$work"
}
source "$root/tests/wine/harness.sh"

"$root/scripts/make-test-certificate.sh" "$work/cert" >/dev/null
cert=$work/cert/test-signing.crt
"$root/scripts/sign-installer.sh" "$host" "$win" "$work/signed.exe" \
  "$cert" "$work/cert/test-signing.key"
"$root/scripts/pack-installer.sh" "$host" "$win" "$work/unsigned.exe" >/dev/null
signed=$work/signed.exe

verifies() { osslsigncode verify -CAfile "$cert" -in "$1" > "$work/verify.txt" 2>&1; }
verifies "$signed" || fail "the signed package does not verify: $(tail -3 "$work/verify.txt")"

# The same entries in the same order (the name lengths and the path of
# each); the payload ends before the signature.
names() { package_entries "$pack" "$1" | cut -d' ' -f4-; }
[ "$(names "$signed" | wc -l)" = 25 ] || fail "the signed package lists $(names "$signed" | wc -l) entries"
[ "$(names "$signed")" = "$(names "$work/unsigned.exe")" ] || fail "signed and unsigned list differ"
payload_end=$(package_tail "$pack" "$signed" | cut -d' ' -f1)
[ "$payload_end" -lt "$(stat -c %s "$signed")" ] || fail "no signature found behind the payload"
"$pack" verify "$signed" >/dev/null || fail "parvane-pack verify rejects the signed package"

# The uninstaller inside is signed as well.
"$pack" extract "$signed" "$work/expected" >/dev/null || fail "extracting the signed package"
verifies "$work/expected/ParvaneSetup.exe" || fail "the packed uninstaller is not signed"

# One changed payload byte: the signature no longer matches.
first_offset=$(package_entries "$pack" "$signed" | awk 'NR == 1 { print $1 }')
cp "$signed" "$work/changed.exe"
flip_byte "$work/changed.exe" $((first_offset + 40))
cmp -s "$signed" "$work/changed.exe" && fail "the byte was not changed"
if verifies "$work/changed.exe"; then fail "a changed payload byte still verifies"; fi

# --- The signed installer under Wine, worked through its windows.
wine_private_prefix "$work"
trap cleanup EXIT
wine_session_start
drive_c=$WINEPREFIX/drive_c
forget_installation
mkdir -p "$drive_c/setup"
cp "$signed" "$drive_c/setup/ParvaneSetup.exe"
folder=$(default_folder)
check install "the signed installer's run" <<SCRIPT
$(install_through_windows '"C:\setup\ParvaneSetup.exe"' '')
progress 1001 25
text 2 完成(&O)
click 2
exit 0
regvalue $uninstall_key DisplayName REG_SZ $(reg_sz Parvane)
SCRIPT
installed=$(win_path_to_unix "$folder")
diff -r "$work/expected" "$installed" > "$work/diff.txt" 2>&1 ||
  fail "installed files differ from the package: $(head -5 "$work/diff.txt")"
[ "$(find "$installed" -type f | wc -l)" = 25 ] || fail "expected 25 installed files"

# The signed copy left behind runs the uninstall, and the entry goes.
check uninstall "the signed uninstaller's run" <<SCRIPT
start ${folder}ParvaneSetup.exe uninstall
window 卸载Parvane
key enter
waittext 1000 删除成功 30000
click 1
exit 0
noregkey $uninstall_key
SCRIPT
# The running program stays, and the driver installer when it still ran as
# the walk reached it.
left=$(cd "$installed" && find . | sort | paste -sd' ')
[ "$left" = ". ./ParvaneSetup.exe" ] || [ "$left" = ". ./InstallGuardDrv.exe ./ParvaneSetup.exe" ] ||
  fail "left in the install folder after the uninstall: $left"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "signed release: verified, 25 entries, installed and uninstalled under Wine"
