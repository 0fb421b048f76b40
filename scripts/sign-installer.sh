#!/usr/bin/env bash
# Builds a signed release: first the setup program that an installation
# leaves behind for uninstalling is signed, then the package is packed
# around that copy and signed as a whole. The certificate table goes at the
# end of the file, behind the payload, which the installer and parvane-pack
# both expect; the signature covers the payload. OUT is replaced only by a
# package that is signed and whose payload verifies.
#   scripts/sign-installer.sh HOST_BUILD WIN_BUILD OUT CERT KEY
# CERT and KEY are PEM files (or CERT a PKCS#12 file and KEY empty);
# SIGN_PASS in the environment is the key's pass phrase, if it has one.
set -euo pipefail
if [ $# -ne 5 ]; then
  echo "usage: $0 HOST_BUILD WIN_BUILD OUT CERT KEY" >&2
  exit 2
fi
host=$1 win=$2 out=$3 cert=$4 key=$5
root=$(cd "$(dirname "$0")/.." && pwd)
pack=$host/tools/pack/parvane-pack

if [ -z "$cert" ]; then
  echo "sign-installer: no certificate: make sign SIGN_CERT=cert.pem SIGN_KEY=key.pem" >&2
  echo "  (scripts/make-test-certificate.sh DIR makes a throw-away pair for trying it)" >&2
  exit 2
fi
for file in "$cert" ${key:+"$key"}; do
  [ -r "$file" ] || { echo "sign-installer: cannot read $file" >&2; exit 1; }
done
command -v osslsigncode >/dev/null || {
  echo "sign-installer: osslsigncode is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
}

credentials=()
case "$cert" in
  *.p12 | *.pfx) [ -z "$key" ] && credentials=(-pkcs12 "$cert") ;;
esac
[ ${#credentials[@]} -ne 0 ] || credentials=(-certs "$cert" -key "$key")
[ -z "${SIGN_PASS:-}" ] || credentials+=(-pass "$SIGN_PASS")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sign() {
  osslsigncode sign "${credentials[@]}" -n Parvane -h sha256 -in "$1" -out "$2" >/dev/null ||
    { echo "sign-installer: osslsigncode could not sign $1" >&2; exit 1; }
}

sign "$win/ParvaneSetup.exe" "$work/ParvaneSetup.exe"
UNINSTALLER_IMAGE=$work/ParvaneSetup.exe \
  "$root/scripts/pack-installer.sh" "$host" "$win" "$work/package.exe" >/dev/null
sign "$work/package.exe" "$work/signed.exe"
if ! "$pack" verify "$work/signed.exe" >/dev/null; then
  echo "sign-installer: the signed package does not verify; $out is unchanged" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
mv -f "$work/signed.exe" "$out"
echo "signed $out: $(stat -c %s "$out") bytes, payload ends at" \
  "$("$pack" list --json "$out" | sed 's/.*"payload_end": \([0-9]*\).*/\1/')"
