#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private 32-bit prefix
# (build/wine/prefix), creating the prefix and the zh_CN locale on first
# use. A caller's WINEPREFIX wins, so tests can work on a copy.
#   scripts/wine.sh PROGRAM.exe [ARGS...]
#   scripts/wine.sh --prepare          # only make sure the prefix exists
#   scripts/wine.sh --stop             # end the prefix's wineserver
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
wine_dir=$root/build/wine

export WINEPREFIX=${WINEPREFIX:-$wine_dir/prefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LANG=zh_CN.UTF-8
export LOCPATH=$wine_dir/locale
unset LC_ALL

prefix_intact() {
  grep -q '#arch=win32' "$WINEPREFIX/system.reg" 2>/dev/null &&
    [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]
}

prepare() {
  # Code page 936 and non-ASCII file names need a generated locale.
  if [ ! -d "$LOCPATH/zh_CN.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" 2>/dev/null || true
  fi
  prefix_intact && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Keep everything inside build/: the new prefix links the user folders
  # to $HOME.
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir -p "$link"; fi
  done
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  echo disable > "$WINEPREFIX/.update-timestamp"
  prefix_intact || { echo "wine prefix set-up failed: $WINEPREFIX" >&2; exit 1; }
}

if [ "${1:-}" = "--stop" ]; then
  wineserver -k 2>/dev/null || true
  exit 0
fi

# Parallel tests share one prefix: only one of them creates it.
mkdir -p "$wine_dir"
exec 9>"$wine_dir/.lock"
flock 9
prepare
flock -u 9

[ "${1:-}" = "--prepare" ] && exit 0
exec wine "$@"
