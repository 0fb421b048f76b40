#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the project's private
# prefixes, creating it and the zh_CN locale on first use: a 32-bit Windows
# (build/wine/prefix) or, with PARVANE_WINE_ARCH=win64, a 64-bit one
# (build/wine/prefix64), where the 32-bit installer runs as it does on
# 64-bit Windows; PARVANE_WINE_CODEPAGE=1252 or 65001 makes either a
# Windows of that ANSI code page (prefix-cp1252, prefix64-cp65001, ...).
# A caller's WINEPREFIX wins, so tests can work on a copy (of a prefix of
# the kind PARVANE_WINE_ARCH and PARVANE_WINE_CODEPAGE name).
#   scripts/wine.sh PROGRAM.exe [ARGS...]
#   scripts/wine.sh --prepare          # only make sure the prefix exists
#   scripts/wine.sh --server           # prepare, then start a persistent wineserver
#   scripts/wine.sh --prefix           # print the prefix folder
#   scripts/wine.sh --stop             # end the prefix's wineserver
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
wine_dir=$root/build/wine

case ${PARVANE_WINE_ARCH:=win32} in
  win32) default_prefix=$wine_dir/prefix ;;
  win64) default_prefix=$wine_dir/prefix64 ;;
  *) echo "wine.sh: PARVANE_WINE_ARCH must be win32 or win64, not $PARVANE_WINE_ARCH" >&2; exit 2 ;;
esac
# The system's ANSI code page: 936 (Simplified Chinese, the default), 1252
# (a Western-language Windows) or 65001 (UTF-8), each in a prefix of its own,
# since Wine rewrites the prefix's font substitutes whenever a program runs
# under another code page than the last.
case ${PARVANE_WINE_CODEPAGE:=936} in
  936) wine_locale=zh_CN.UTF-8 ;;
  1252) wine_locale=C.UTF-8 default_prefix+=-cp1252 ;;
  # Wine takes the code page from the locale and not from the registry's
  # Nls\CodePage\ACP; a locale whose Windows counterpart has no ANSI code
  # page of its own (Hindi) gives UTF-8, as the "Unicode UTF-8 for
  # worldwide language support" option of Windows 10 and 11 does.
  65001) wine_locale=hi_IN.UTF-8 default_prefix+=-cp65001 ;;
  *) echo "wine.sh: PARVANE_WINE_CODEPAGE must be 936, 1252 or 65001, not $PARVANE_WINE_CODEPAGE" >&2
     exit 2 ;;
esac
export WINEPREFIX=${WINEPREFIX:-$default_prefix}
export WINEARCH=$PARVANE_WINE_ARCH
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries written to $HOME, no Mono or Gecko prompts.
# PARVANE_DLL_OVERRIDES adds overrides of a test's own (one that plants a DLL
# asks for the native one first). Wine reads them from the Unix environment,
# which every process a program starts inherits; a Windows program's
# SetEnvironmentVariableA does not reach them.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d${PARVANE_DLL_OVERRIDES:+;$PARVANE_DLL_OVERRIDES}"
export LANG=$wine_locale
export LOCPATH=$wine_dir/locale
unset LC_ALL

# Written last by a successful set-up; bump the number whenever the set-up
# changes so that older prefixes are rebuilt.
stamp=$WINEPREFIX/.parvane-prefix-2

prefix_intact() {
  grep -q "#arch=$WINEARCH" "$WINEPREFIX/system.reg" 2>/dev/null &&
    [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] &&
    [ -f "$stamp" ]
}

# Pinned font replacements keep dialog metrics independent of the CJK fonts
# a machine happens to have; the virtual desktop gives windows real frames
# and system menus while `wine prog` still returns the exit code; without
# the crash dialog a crash ends the program at once.
settings_reg() {
  local font='"WenQuanYi Micro Hei"'
  cat <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"宋体"=$font
"SimSun"=$font
"NSimSun"=$font
"Tahoma"=$font
"Arial"=$font

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
}

# regedit /S exits 0 even when it imported nothing: read the values back,
# exported in UTF-16, which holds the Chinese font name whatever the code
# page. Through a file, not a pipe: a helper process Wine starts on the way
# could hold a pipe open after regedit has ended.
settings_applied() {
  local export=$WINEPREFIX/drive_c/windows/temp/parvane-settings-check.reg out
  rm -f "$export"
  wine regedit /E 'C:\windows\temp\parvane-settings-check.reg' 'HKEY_CURRENT_USER\Software\Wine' \
    >/dev/null 2>&1 || true
  out=$(iconv -f UTF-16LE -t UTF-8 "$export" 2>/dev/null | tr -d '\r')
  rm -f "$export"
  local fonts='^"(宋体|SimSun|NSimSun|Tahoma|Arial)"="WenQuanYi Micro Hei"$'
  [ "$(grep -cE "$fonts" <<<"$out")" = 5 ] &&
    grep -qE '^"Desktop"="Default"$' <<<"$out" &&
    grep -qE '^"Default"="1024x768"$' <<<"$out" &&
    grep -qE '^"ShowCrashDialog"=dword:00000000$' <<<"$out"
}

import_settings() {
  local reg=$WINEPREFIX/drive_c/windows/temp/parvane-settings.reg
  { printf '\xff\xfe'; settings_reg | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } > "$reg"
  wine regedit /S 'C:\windows\temp\parvane-settings.reg' >/dev/null 2>&1 || true
  rm -f "$reg"
  settings_applied
}

make_locale() {
  # Code pages 936 and 65001 and non-ASCII file names need a generated
  # locale; C.UTF-8 comes with the C library.
  [ "$wine_locale" != C.UTF-8 ] || return 0
  if [ ! -d "$LOCPATH/$wine_locale" ]; then
    mkdir -p "$LOCPATH"
    localedef -i "${wine_locale%.UTF-8}" -f UTF-8 "$LOCPATH/$wine_locale" 2>/dev/null || true
  fi
}

prepare() {
  prefix_intact && return 0
  # A server still running on the old prefix would keep serving deleted files.
  wineserver -k >/dev/null 2>&1 || true
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
  local ok=1 status=0
  import_settings || { echo "wine prefix set-up: the registry settings did not take" >&2; ok=0; }
  wine cmd /c exit 7 >/dev/null 2>&1 || status=$?
  [ "$status" = 7 ] || { echo "wine prefix set-up: wine cmd returned $status, not 7" >&2; ok=0; }
  # Flushes the registry to disk before the prefix counts as done.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  if [ "$ok" = 1 ] && grep -q "#arch=$WINEARCH" "$WINEPREFIX/system.reg" 2>/dev/null &&
     [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    date -u +%FT%TZ > "$stamp"
  else
    echo "wine prefix set-up failed: $WINEPREFIX" >&2
    exit 1
  fi
}

case "${1:-}" in
  --stop)
    wineserver -k 2>/dev/null || true
    exit 0 ;;
  --prefix)
    echo "$WINEPREFIX"
    exit 0 ;;
esac

# Parallel tests share one prefix: only one of them creates it. The lock
# sits beside the prefix, so work on a copy never waits for another prefix.
mkdir -p "$wine_dir" "$(dirname "$WINEPREFIX")"
exec 9>"$wine_dir/.lock"
flock 9
make_locale
flock -u 9
exec 9>"$(dirname "$WINEPREFIX")/.$(basename "$WINEPREFIX").lock"
flock 9
prepare
flock -u 9
exec 9>&-

case "${1:-}" in
  --prepare) exit 0 ;;
  # Lingers 30 s after the last process, so a killed test leaves nothing
  # behind for long; a session keeps it busy with an idle process.
  --server) exec wineserver -p30 >/dev/null 2>&1 ;;
esac
exec wine "$@"
