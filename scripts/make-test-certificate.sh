#!/usr/bin/env bash
# Makes a throw-away self-signed code-signing certificate and its key, for
# trying a signed release and for the tests. Never ship with it.
#   scripts/make-test-certificate.sh DIR   -> DIR/test-signing.crt, DIR/test-signing.key
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
mkdir -p "$1"
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -sha256 \
  -subj "/CN=Parvane Test Signing/O=Corvantis (test only)" \
  -addext "keyUsage=critical,digitalSignature" \
  -addext "extendedKeyUsage=codeSigning" \
  -keyout "$1/test-signing.key" -out "$1/test-signing.crt" 2>/dev/null
echo "$1/test-signing.crt"
echo "$1/test-signing.key"
