#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine.
# Checks first, so a second run costs nothing; as a normal user it prints
# the apt command instead of running it.
#   scripts/install-deps.sh            # build and tests
#   scripts/install-deps.sh --bench    # what make bench adds: the peer
#                                      # installer's compiler and the plotter
set -euo pipefail

native=(cmake make g++ pkg-config zlib1g-dev googletest libgtest-dev
        clang libclang-rt-14-dev python3 ninja-build)
windows=(g++-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev
         wine wine32:i386 wine64 xvfb imagemagick fonts-wqy-microhei
         fonts-wine locales liblnk-utils osslsigncode openssl)
# Only make bench compares against another installer and draws a chart;
# the tests never need them.
bench=(nsis gnuplot-nox)

wanted=("${native[@]}" "${windows[@]}")
case "${1:-}" in
  --bench) wanted+=("${bench[@]}") ;;
  '') ;;
  *) echo "usage: $0 [--bench]" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

need_i386=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then need_i386=1; fi

if [ ${#missing[@]} -eq 0 ] && [ $need_i386 -eq 0 ]; then
  exit 0
fi

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  [ $need_i386 -eq 1 ] && echo "  dpkg --add-architecture i386 && apt-get update" >&2
  echo "  apt-get update && $cmd" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
[ $need_i386 -eq 1 ] && dpkg --add-architecture i386
apt-get update -qq
$cmd -qq
