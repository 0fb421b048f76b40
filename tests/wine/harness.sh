# Sourced by bash scripts that drive Windows programs under Wine:
#
#   source "$root/tests/wine/harness.sh"
#   trap 'wine_session_stop' EXIT
#   wine_session_start                 # own Xvfb; --user-display: $DISPLAY if set
#   run_driver "$work/install.ui"      # the UI driver on a script; its exit code
#   check_sha256 "$(win_path_to_unix 'C:\Program Files\X\a.dll')" 3f2a...
#   check_lnk_field "$desktop/X.lnk" target 'C:\Program Files\X\x.exe'
#
# WINEPREFIX is set (and exported) on sourcing: the caller's, or the
# project's prefix under build/wine.
# Wine's own settings stay in scripts/wine.sh; this file only adds the
# session (display, server, idle process) and checks made from outside.
# Every Wine call's output goes to a file, never into a pipe: Wine's helper
# processes inherit it and may outlive the call, so a reader could wait for
# an end of file that never comes.
# shellcheck shell=bash

HARNESS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
HARNESS_WINE=$HARNESS_ROOT/scripts/wine.sh
PARVANE_WIN32_BUILD=${PARVANE_WIN32_BUILD:-$HARNESS_ROOT/build/win32}
UIDRIVER=${UIDRIVER:-$PARVANE_WIN32_BUILD/tests/wine/uidriver.exe}
HARNESS_IDLE=${HARNESS_IDLE:-$PARVANE_WIN32_BUILD/tests/wine/harness_idle.exe}

# The prefix of every Wine call the sourcing script makes; a caller's wins.
# Exported, so that no stray wine call can fall back to ~/.wine.
WINEPREFIX=${WINEPREFIX:-$("$HARNESS_WINE" --prefix)}
export WINEPREFIX

# The prefix's ANSI code page (scripts/wine.sh keeps a prefix for each):
# what the installer's ANSI functions read and write there. system_charset
# is its name for iconv; system_word a folder name only that code page
# (and UTF-8) can hold, for the paths a test types.
HARNESS_CODEPAGE=${PARVANE_WINE_CODEPAGE:-936}
case $HARNESS_CODEPAGE in
  936) system_charset=GBK system_word='第二 安装' ;;
  1252) system_charset=CP1252 system_word='Zweite Ausführung' ;;
  65001) system_charset=UTF-8 system_word='第二 Ausführung' ;;
  *) echo "harness.sh: no code page $HARNESS_CODEPAGE" >&2; return 1 ;;
esac

WINE_SESSION_DIR=
WINE_SESSION_XVFB_PID=
WINE_SESSION_IDLE_PID=
_wine_session_runs=0

# Waits up to $2 seconds for file $1 to be non-empty while process $3 lives.
_harness_wait_for_file() {
  local file=$1 seconds=$2 pid=$3 tries=$(($2 * 50))
  while [ ! -s "$file" ]; do
    kill -0 "$pid" 2>/dev/null || return 1
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.02
  done
}

# wine_session_start [--user-display]: prepares the prefix, starts a display
# (an own Xvfb of WINE_SESSION_SCREEN pixels, 1280x1024 unless set, unless
# --user-display or WINE_SESSION_USER_DISPLAY=1 and DISPLAY is set), a persistent wineserver and the idle process that keeps
# the desktop and services warm. Sets DISPLAY for the rest of the script.
wine_session_start() {
  local user_display=${WINE_SESSION_USER_DISPLAY:-0}
  [ "${1:-}" = --user-display ] && user_display=1
  [ -n "$(trap -p EXIT)" ] || trap wine_session_stop EXIT
  WINE_SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/wine-session.XXXXXX")
  _wine_session_old_display=${DISPLAY-}
  "$HARNESS_WINE" --prepare || { echo "wine_session_start: no usable prefix"; return 1; }

  if [ "$user_display" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    :
  else
    # -displayfd picks a free display and reports it once it accepts clients.
    Xvfb -displayfd 3 -screen 0 "${WINE_SESSION_SCREEN:-1280x1024}x24" -nolisten tcp \
      3>"$WINE_SESSION_DIR/display" >"$WINE_SESSION_DIR/xvfb.log" 2>&1 </dev/null &
    WINE_SESSION_XVFB_PID=$!
    if ! _harness_wait_for_file "$WINE_SESSION_DIR/display" 10 "$WINE_SESSION_XVFB_PID"; then
      echo "wine_session_start: Xvfb did not start: $(cat "$WINE_SESSION_DIR/xvfb.log")"
      return 1
    fi
    export DISPLAY=:$(head -n 1 "$WINE_SESSION_DIR/display")
  fi

  # A server that already runs (one of a session killed a moment ago, say)
  # serves as well, so a refusal here is no error.
  "$HARNESS_WINE" --server </dev/null >/dev/null 2>&1 || true
  # The idle process is the first Windows process, so the desktop and the
  # services start from it, with their output going nowhere.
  "$HARNESS_WINE" "$HARNESS_IDLE" "$(unix_path_to_win "$WINE_SESSION_DIR/idle.ready")" \
    </dev/null >/dev/null 2>&1 &
  WINE_SESSION_IDLE_PID=$!
  if ! _harness_wait_for_file "$WINE_SESSION_DIR/idle.ready" 60 "$WINE_SESSION_IDLE_PID"; then
    echo "wine_session_start: the idle process did not come up ($HARNESS_IDLE)"
    return 1
  fi
}

# Ends what wine_session_start started; safe to call twice or after a
# start that failed half-way.
wine_session_stop() {
  if [ -n "$WINE_SESSION_IDLE_PID" ]; then
    kill "$WINE_SESSION_IDLE_PID" 2>/dev/null || true
    wait "$WINE_SESSION_IDLE_PID" 2>/dev/null || true
    WINE_SESSION_IDLE_PID=
  fi
  if [ -n "$WINE_SESSION_DIR" ]; then
    # Also writes the registry to disk.
    "$HARNESS_WINE" --stop </dev/null >/dev/null 2>&1 || true
  fi
  if [ -n "$WINE_SESSION_XVFB_PID" ]; then
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    WINE_SESSION_XVFB_PID=
    if [ -n "$_wine_session_old_display" ]; then
      export DISPLAY=$_wine_session_old_display
    else
      unset DISPLAY
    fi
  fi
  if [ -n "$WINE_SESSION_DIR" ]; then
    rm -rf "$WINE_SESSION_DIR"
    WINE_SESSION_DIR=
  fi
}

# _harness_run LOG COMMAND...: runs COMMAND with its output in LOG, prints
# it, returns its status. Without LOG the output goes to the session's
# folder, or to a temporary file removed afterwards.
_harness_run() {
  local log=$1 status=0 temporary=
  shift
  if [ -z "$log" ]; then
    _wine_session_runs=$((_wine_session_runs + 1))
    if [ -n "$WINE_SESSION_DIR" ]; then
      log=$WINE_SESSION_DIR/run.$_wine_session_runs.log
    else
      log=$(mktemp) && temporary=1
    fi
  fi
  "$@" </dev/null >"$log" 2>&1 || status=$?
  cat "$log"
  [ -z "$temporary" ] || rm -f "$log"
  return "$status"
}

# run_driver SCRIPT [LOG]: runs the UI driver on SCRIPT, prints its output
# and returns its exit code: 0 all checks held, 1 a check failed, 2 the
# script is wrong, 124 the driver itself hung (UIDRIVER_TIMEOUT seconds).
run_driver() {
  local script=$1 log=${2:-}
  if [ ! -f "$UIDRIVER" ]; then
    echo "run_driver: no driver at $UIDRIVER: build the Windows build first"
    return 2
  fi
  if [ ! -f "$script" ]; then
    echo "run_driver: no script $script"
    return 2
  fi
  _harness_run "$log" timeout -k 10 "${UIDRIVER_TIMEOUT:-600}" \
    "$HARNESS_WINE" "$UIDRIVER" "$(unix_path_to_win "$script")"
}

# check_with_driver NAME SCRIPT LOG: one named check of a test script. Runs
# the driver quietly; when it fails, prints "FAIL: NAME" and the driver's
# FAIL and ERROR lines, and returns 1.
check_with_driver() {
  local name=$1 script=$2 log=$3
  run_driver "$script" "$log" >/dev/null && return 0
  echo "FAIL: $name"
  grep -E '^(FAIL|ERROR)' "$log" | sed 's/^/    /'
  return 1
}

# wine_run PROGRAM [ARGS...]: runs a Windows program (or a Wine tool such
# as reg) in the prefix, prints its output, returns its exit code (the low
# 8 bits only: that is all `wine` passes back).
wine_run() {
  _harness_run "" "$HARNESS_WINE" "$@"
}

# wine_private_prefix DIR: from here on, Wine calls work in a fresh copy of
# the project's prefix, DIR/prefix, which a test may install into and
# remove from as it likes. Call it before wine_session_start.
wine_private_prefix() {
  "$HARNESS_WINE" --prepare
  cp -a "$WINEPREFIX" "$1/prefix"
  export WINEPREFIX=$1/prefix
}

# reg32 ARGS...: Wine's reg tool on the registry as the 32-bit installer
# sees it: on a 64-bit prefix, HKLM\SOFTWARE's 32-bit view.
reg32() {
  wine_run reg "$@" /reg:32
}

# program_files: the Program Files folder the prefix gives a 32-bit
# program, as Windows names it: C:\Program Files on 32-bit Windows,
# C:\Program Files (x86) on 64-bit Windows.
program_files() {
  if [ -z "${_harness_program_files:-}" ]; then
    _harness_program_files=$(reg32 query 'HKLM\Software\Microsoft\Windows\CurrentVersion' \
        /v ProgramFilesDir | iconv -f "$system_charset" -t UTF-8 | tr -d '\r' |
      sed -n 's/^ *ProgramFilesDir *REG_SZ *//p')
    [ -n "$_harness_program_files" ] || { echo "program_files: not in the registry" >&2; return 1; }
  fi
  printf '%s\n' "$_harness_program_files"
}

# default_folder: the install folder the target page proposes.
default_folder() {
  printf '%s\n' "$(program_files)"'\Tavisk\Parvane\'
}

# forget_installation: the prefix as it was before any installation (make
# run installs into the project's prefix): no registry records, no files in
# the default folder, no shortcuts.
forget_installation() {
  local drive_c=$WINEPREFIX/drive_c
  reg32 delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Parvane' /f >/dev/null 2>&1 || true
  reg32 delete 'HKLM\SOFTWARE\Tavisk' /f >/dev/null 2>&1 || true
  reg32 delete 'HKLM\SYSTEM\CurrentControlSet\Control' /v PSLastBootSystemRoot /f >/dev/null 2>&1 || true
  rm -rf "$(win_path_to_unix "$(program_files)")/Tavisk" \
    "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Parvane" \
    "$drive_c/users/Public/Desktop/Parvane.lnk"
}

# record_install_folder FOLDER: the product key's "install path" as an
# installation leaves it; uninstall mode reads it before it shows anything.
record_install_folder() {
  reg32 add 'HKLM\SOFTWARE\Tavisk\Parvane' /v 'install path' /d "$1" /f >/dev/null
}

# fail TEXT: reports a failed check of the sourcing test and counts it in
# $failures, so the test can run its remaining checks and end with the sum.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# check NAME [WHAT] < SCRIPT: one driver run of the sourcing test; the
# script and its log stay as $work/NAME.txt and $work/NAME.log, and a
# failure, reported as WHAT (NAME unless given), counts in $failures.
check() {
  local name=$1
  cat > "$work/$name.txt"
  check_with_driver "${2:-$name}" "$work/$name.txt" "$work/$name.log" || failures=$((failures + 1))
}

# shot NAME [MS]: driver lines that wait MS milliseconds (500), so the
# window has painted, and take a screenshot into $work/NAME.bmp; nothing
# when $shots names no folder to keep pictures in.
shot() {
  [ -z "${shots:-}" ] || printf 'sleep %s\nscreenshot %s\n' "${2:-500}" "$(unix_path_to_win "$work/$1.bmp")"
}

# keep_shot NAME: the screenshot that `shot NAME` took, trimmed to the
# desktop's windows, as $shots/NAME.png.
keep_shot() {
  [ -n "${shots:-}" ] && [ -f "$work/$1.bmp" ] || return 0
  mkdir -p "$shots"
  convert "$work/$1.bmp" -trim +repage "$shots/$1.png"
}

# prefix_tree [PATH...]: the prefix's files, folders and links, one a line
# and sorted, without the subtrees PATH (Unix paths inside the prefix), to
# compare before and after a run. A file shows its size and modification
# time, so a file written shows even at the same size; a link its target; a
# folder only its name, since its own time changes with every entry made or
# removed inside it, and those entries show themselves. Left out: the
# registry hives system.reg, user.reg and userdef.reg, which Wine rewrites
# whole whenever it saves the registry (the driver checks the registry
# value by value instead).
prefix_tree() {
  local -a prune=(-path ./system.reg -o -path ./user.reg -o -path ./userdef.reg)
  local path
  for path in "$@"; do
    prune+=(-o -path "./${path#"$WINEPREFIX"/}")
  done
  (cd "$WINEPREFIX" && find . \( "${prune[@]}" \) -prune -o \
     \( -type d -printf 'd %p\n' \) -o \( -type l -printf 'l %p -> %l\n' \) -o \
     -printf '%y %s %T@ %p\n') | LC_ALL=C sort
}

# The installation's registry keys, as the driver's registry checks name them.
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Parvane'
product_key='HKLM\SOFTWARE\Tavisk\Parvane'

# The wizard's way to its target page, a page at a time, each page checked
# by a control of its own on arrival. welcome_page COMMANDLINE [MS]: the
# driver lines that start the installer with COMMANDLINE and wait MS
# milliseconds (the driver's default otherwise) for the welcome page;
# licence_page: Next from there to the licence page; target_page: the
# licence page, the agreement accepted, and Next to the target page.
# to_target_page COMMANDLINE [MS] is the whole way.
welcome_page() {
  printf 'start %s\nwindow 安装Parvane%s\ntext 1 下一步(&N)\n' "$1" "${2:+ $2}"
}
licence_page() {
  printf 'click 1\nwindow 安装Parvane\nexists 1004 1\n'
}
target_page() {
  licence_page
  printf 'click 1004\nclick 1\nwindow 安装Parvane\nexists 1000 1\n'
}
to_target_page() {
  welcome_page "$@"
  target_page
}

# press_install FOLDER: on the target page, the driver lines that put
# FOLDER in the edit (typed; empty: the folder the page proposes, checked
# to be default_folder), record the status line's texts from here on (for
# a textlog-is 1002 afterwards) and press Install.
press_install() {
  if [ -n "$1" ]; then
    printf 'type 1005 "%s"\n' "$1"
  else
    printf 'text 1005 "%s"\n' "$(default_folder)"
  fi
  printf 'textlog 1002\nclick 1\n'
}

# The driver line that waits for the end of a successful installation.
install_finished='waittext 1002 安装Parvane成功. 30000'

# start_install COMMANDLINE FOLDER [STANDIN_LOG]: to_target_page
# COMMANDLINE and press_install FOLDER. With STANDIN_LOG, a Windows path,
# the product's stand-in helpers record their starts in that file.
start_install() {
  [ -z "${3:-}" ] || printf 'env PARVANE_STANDIN_LOG %s\n' "$3"
  to_target_page "$1"
  press_install "$2"
}

# install_through_windows COMMANDLINE FOLDER [STANDIN_LOG]: start_install
# and the wait for the finished page.
install_through_windows() {
  start_install "$@"
  printf '%s\n' "$install_finished"
}

# reg_sz TEXT: a REG_SZ value as the driver's `regvalue` reads it under
# Wine: the text's bytes in the system's code page in hex, and a NUL. The
# installer stores texts without their NUL, but Wine's RegSetValueExA
# keeps the NUL that follows the data in memory, so the stored length
# cannot be told apart here from one written with it.
reg_sz() {
  printf '%s00' "$(printf '%s' "$1" | iconv -f UTF-8 -t "$system_charset" | od -An -v -tx1 | tr -d ' \n')"
}

# reg_dword NUMBER: a REG_DWORD value as the driver's `regvalue` reads it:
# its four bytes in hex, low byte first (1 is 01000000).
reg_dword() {
  local number=$(($1))
  printf '%02x%02x%02x%02x' $((number & 255)) $((number >> 8 & 255)) \
    $((number >> 16 & 255)) $((number >> 24 & 255))
}

# prefix_user: the name of the prefix's own user (not Public).
prefix_user() {
  ls "$WINEPREFIX/drive_c/users" | grep -v '^Public$' | head -n 1
}

# flip_byte FILE POSITION: the byte at POSITION of FILE (from 0) with every
# bit inverted, in place.
flip_byte() {
  local byte
  byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  if [ -z "$byte" ]; then
    echo "flip_byte: $1 has no byte at $2" >&2
    return 1
  fi
  printf "$(printf '\\%03o' $((byte ^ 255)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}

# package_entries PARVANE_PACK PACKAGE: the entries of the package's
# directory, from `parvane-pack list --json`, one a line in directory
# order: offset, compressed size, inflated size, the lengths in bytes of
# the folder name and the file name, and the entry's path inside the
# install folder (the two names joined, read as GBK, with '/' for '\').
package_entries() {
  _package_listing "$1" "$2" '
for entry in listing["entries"]:
    folder, name = bytes.fromhex(entry["folder_hex"]), bytes.fromhex(entry["file_hex"])
    path = (folder + name).decode("gbk").replace("\\", "/")
    print(entry["offset"], entry["compressed"], entry["inflated"], len(folder), len(name), path)'
}

# package_tail PARVANE_PACK PACKAGE: where the package's payload ends and
# the length in bytes of its title, from `parvane-pack list --json`.
package_tail() {
  _package_listing "$1" "$2" '
print(listing["payload_end"], len(bytes.fromhex(listing["title_hex"])))'
}

# _package_listing PARVANE_PACK PACKAGE CODE: runs the Python CODE with
# `listing` the package's listing, read with Python's json module.
_package_listing() {
  local listing
  if ! listing=$("$1" list --json "$2"); then
    echo "_package_listing: parvane-pack cannot list $2" >&2
    return 1
  fi
  PYTHONIOENCODING=utf-8 python3 -c "import json, sys
listing = json.load(sys.stdin)
$3" <<<"$listing"
}

# check_sha256 FILE EXPECTED
check_sha256() {
  local file=$1 expected=${2,,} saw
  if [ ! -f "$file" ]; then
    echo "check_sha256: $file: no such file"
    return 1
  fi
  saw=$(sha256sum "$file") && saw=${saw%% *}
  if [ "$saw" != "$expected" ]; then
    echo "check_sha256: $file: expected $expected, saw $saw"
    return 1
  fi
}

# lnk_field LNKFILE FIELD: prints one field of a shortcut as lnkinfo reads
# it with the system's code page (its ANSI strings; Wine writes Unicode
# ones too). FIELD is lnkinfo's label ("Local path", "Working
# directory", "Description", "Command line arguments", "Relative path",
# "Icon location") or one of target, workdir, description, arguments,
# relative, icon.
lnk_field() {
  local lnk=$1 label=$2 out
  case $label in
    target) label='Local path' ;;
    workdir) label='Working directory' ;;
    description) label='Description' ;;
    arguments) label='Command line arguments' ;;
    relative) label='Relative path' ;;
    icon) label='Icon location' ;;
  esac
  if [ ! -f "$lnk" ]; then
    echo "lnk_field: $lnk: no such file" >&2
    return 1
  fi
  # lnkinfo writes its text in the locale's character set.
  local codepage=windows-$HARNESS_CODEPAGE
  [ "$HARNESS_CODEPAGE" != 65001 ] || codepage=windows-1252
  if ! out=$(LC_ALL=C.UTF-8 lnkinfo -c "$codepage" "$lnk" 2>&1); then
    echo "lnk_field: lnkinfo cannot read $lnk: $out" >&2
    return 1
  fi
  local line name
  while IFS= read -r line; do
    name=${line%%:*}
    name=${name#"${name%%[![:space:]]*}"}
    name=${name%"${name##*[![:space:]]}"}
    if [ "$name" = "$label" ]; then
      line=${line#*: }
      # lnkinfo knows no UTF-8: an ANSI field read as 1252, which gives each
      # byte of the test's texts a character of its own, is turned back into
      # its bytes; a Unicode field has characters 1252 lacks.
      local bytes
      if [ "$HARNESS_CODEPAGE" = 65001 ] && bytes=$(printf '%s' "$line" | iconv -f UTF-8 -t CP1252 2>/dev/null); then
        line=$bytes
      fi
      printf '%s\n' "$line"
      return 0
    fi
  done <<<"$out"
  echo "lnk_field: $lnk has no field \"$label\"" >&2
  return 1
}

# check_lnk_field LNKFILE FIELD EXPECTED
check_lnk_field() {
  local saw
  saw=$(lnk_field "$1" "$2") || return 1
  if [ "$saw" != "$3" ]; then
    echo "check_lnk_field: $1: $2: expected \"$3\", saw \"$saw\""
    return 1
  fi
}

# win_path_to_unix 'C:\x\y': the Unix path of a Windows path in the prefix.
# Existing components are matched without regard to case, as Windows
# does; the rest are taken as written.
win_path_to_unix() {
  local win=$1
  if [[ ! $win =~ ^([A-Za-z]):(.*)$ ]]; then
    echo "win_path_to_unix: not a drive path: $win" >&2
    return 1
  fi
  local drive=${BASH_REMATCH[1],,} rest=${BASH_REMATCH[2]} path
  if ! path=$(readlink -f "$WINEPREFIX/dosdevices/$drive:"); then
    echo "win_path_to_unix: no drive $drive: in the prefix" >&2
    return 1
  fi
  local -a parts
  IFS='\' read -r -a parts <<<"$rest"
  local part entry name found
  for part in "${parts[@]}"; do
    case $part in
      '' | .) continue ;;
      ..) path=$(dirname "$path"); continue ;;
    esac
    found=
    if [ ! -e "$path/$part" ] && [ -d "$path" ]; then
      for entry in "$path"/* "$path"/.[!.]*; do
        name=${entry##*/}
        if [ -e "$entry" ] && [ "${name,,}" = "${part,,}" ]; then
          found=$name
          break
        fi
      done
    fi
    path=${path%/}/${found:-$part}
  done
  printf '%s\n' "$path"
}

# unix_path_to_win PATH: a Windows path for a Unix one; under drive_c it
# is a C: path, elsewhere one on Z:, which is the Unix root.
unix_path_to_win() {
  local path=$1 drive_c
  [[ $path = /* ]] || path=$PWD/$path
  drive_c=$WINEPREFIX/drive_c
  if [ "$path" = "$drive_c" ] || [[ $path = "$drive_c"/* ]]; then
    path=C:${path#"$drive_c"}
  else
    path=Z:$path
  fi
  path=${path//\//\\}
  [[ $path = ?: ]] && path+='\'
  printf '%s\n' "$path"
}

# bmp_to_png BMP PNG: a driver screenshot in a form anything can show.
bmp_to_png() {
  if ! convert "$1" "$2" 2>/dev/null; then
    echo "bmp_to_png: cannot convert $1"
    return 1
  fi
}
