# End-to-end test helpers, sourced by the scripts under tests/e2e/. Each helper is one line at the
# call site: start a display, run a Windows program under Wine, find windows, read the registry.
#
# Environment (set by CTest): VARENKO_SOURCE, VARENKO_LINUX_BUILD, VARENKO_WINDOWS_BUILD.

set -euo pipefail

: "${VARENKO_SOURCE:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
: "${VARENKO_LINUX_BUILD:=$VARENKO_SOURCE/build/linux}"
: "${VARENKO_WINDOWS_BUILD:=$VARENKO_SOURCE/build/windows}"
export VARENKO_SOURCE VARENKO_LINUX_BUILD VARENKO_WINDOWS_BUILD

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/varenko-e2e.XXXXXX")
E2E_PIDS=()
E2E_FAILURES=0

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [[ -n "${WINEPREFIX:-}" && -d "${WINEPREFIX:-}" ]]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# --- results --------------------------------------------------------------------------------

fail() { echo "FAIL: $*" >&2; E2E_FAILURES=$((E2E_FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() {  # check DESCRIPTION COMMAND...: passes when the command succeeds
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
check_eq() {  # check_eq DESCRIPTION EXPECTED ACTUAL
  if [[ "$2" == "$3" ]]; then pass "$1"; else fail "$1: expected [$2], got [$3]"; fi
}
finish() {
  if ((E2E_FAILURES > 0)); then echo "$E2E_FAILURES check(s) failed" >&2; exit 1; fi
  echo "all checks passed"
}

# wait_until SECONDS COMMAND...: polls every 0.1 s until the command succeeds; fails on timeout.
wait_until() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while ! "$@" >/dev/null 2>&1; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}

# --- display --------------------------------------------------------------------------------

# start_xvfb [WxHxD]: starts Xvfb on a display it picks itself (-displayfd, so parallel tests
# never race for a number) and exports DISPLAY. -noreset: a server that resets when its last
# client leaves refuses the next one while it does, which a busy machine stretches to seconds.
start_xvfb() {
  local geometry=${1:-1280x720x24} fdfile="$E2E_TMP/xvfb-display" n
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset +extension GLX \
    3>"$fdfile" >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_PIDS+=("$!")
  wait_until 15 grep -q '[0-9]' "$fdfile" || { echo "could not start Xvfb" >&2; return 1; }
  n=$(tr -dc '0-9' <"$fdfile")
  export DISPLAY=":$n"
  wait_until 10 xdpyinfo || { echo "Xvfb on :$n does not answer" >&2; return 1; }
}

# start_xorg_two_screens: starts an Xorg server with two 640 x 480 dummy screens side by side,
# joined by Xinerama into one 1280 x 480 screen with two monitors, and exports DISPLAY. Returns 1
# without starting anything where that cannot run (not root, no dummy driver).
start_xorg_two_screens() {
  local conf="$E2E_TMP/xorg.conf" fdfile="$E2E_TMP/xorg-display" n
  [[ $(id -u) -eq 0 && -e /usr/lib/xorg/modules/drivers/dummy_drv.so ]] || return 1
  command -v Xorg >/dev/null || return 1
  {
    for n in 0 1; do
      printf 'Section "Device"\n Identifier "d%s"\n Driver "dummy"\n VideoRam 16000\nEndSection\n' "$n"
      printf 'Section "Screen"\n Identifier "s%s"\n Device "d%s"\n Monitor "m"\n DefaultDepth 24\n' "$n" "$n"
      printf ' SubSection "Display"\n  Depth 24\n  Modes "640x480"\n  Virtual 640 480\n EndSubSection\nEndSection\n'
    done
    printf 'Section "Monitor"\n Identifier "m"\n HorizSync 5.0 - 1000.0\n VertRefresh 5.0 - 200.0\n'
    printf ' Modeline "640x480" 25.175 640 656 752 800 480 490 492 525\nEndSection\n'
    printf 'Section "ServerLayout"\n Identifier "l"\n Screen 0 "s0" 0 0\n Screen 1 "s1" RightOf "s0"\n'
    printf ' Option "Xinerama" "on"\nEndSection\n'
    printf 'Section "ServerFlags"\n Option "AutoAddDevices" "false"\nEndSection\n'
  } >"$conf"
  : >"$fdfile"
  Xorg -displayfd 3 -config "$conf" -noreset -nolisten tcp -logfile "$E2E_TMP/xorg.log" \
    3>"$fdfile" >/dev/null 2>&1 &
  E2E_PIDS+=("$!")
  wait_until 30 grep -q '[0-9]' "$fdfile" || { echo "could not start Xorg" >&2; return 1; }
  n=$(tr -dc '0-9' <"$fdfile")
  export DISPLAY=":$n"
  wait_until 10 xdpyinfo || { echo "Xorg on :$n does not answer" >&2; return 1; }
}

# find_window TITLE: prints the X ids of visible windows whose title is exactly TITLE.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
window_exists() { [[ -n "$(find_window "$1")" ]]; }
window_gone() { ! window_exists "$1"; }

# screenshot FILE: the whole screen as PNG.
screenshot() { import -window root "$1"; }

# --- Wine -----------------------------------------------------------------------------------

# use_wine: points Wine at the prefix inside the Linux build tree, creating it the first time.
use_wine() {
  export WINEPREFIX="$VARENKO_LINUX_BUILD/wineprefix"
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINE_NO_PRIV_ELEVATION=1
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      wineboot -i >"$E2E_TMP/wineboot.log" 2>&1 || true
      wineserver -w
    fi
  ) 9>"$VARENKO_LINUX_BUILD/wineprefix.lock"
}

# use_language ja|en: the interface language of the Windows programs started after it. Wine takes
# it from the Unix locale, which must exist: ja_JP.UTF-8 and en_US.UTF-8 are built once into the
# Linux build tree from the system's locale sources (most machines have neither).
use_language() {
  local dir="$VARENKO_LINUX_BUILD/locale" name
  name=$([[ $1 == ja ]] && echo ja_JP.UTF-8 || echo en_US.UTF-8)
  mkdir -p "$dir"
  (
    flock 9
    [[ -d "$dir/$name" ]] || localedef -i "${name%%.*}" -f UTF-8 "$dir/$name" >/dev/null 2>&1 || true
  ) 9>"$dir.lock"
  export LOCPATH="$dir"
  # The shell itself looks for the locale without LOCPATH and would complain.
  { export LANG="$name"; unset LC_ALL LC_MESSAGES; } 2>/dev/null
}

# win_exe NAME: path of a Windows program of the windows build (Varenko.dll, tests/print_settings.exe).
win_exe() { echo "$VARENKO_WINDOWS_BUILD/$1"; }

# wine_run SECONDS PROGRAM ARGS...: runs a program under Wine with a time limit; prints its stdout.
# The output goes through a file, not a pipe: a process the program started may keep the pipe
# open long after the time limit, and the reader would wait for it.
wine_run() {
  local limit=$1 out status=0; shift
  out=$(mktemp "$E2E_TMP/wine-out.XXXXXX")
  timeout --kill-after=5 "$limit" wine "$@" >"$out" 2>>"$E2E_TMP/wine.log" </dev/null || status=$?
  tr -d '\r' <"$out"
  rm -f "$out"
  return "$status"
}

# wine_start PROGRAM ARGS...: starts a program under Wine in the background; prints its pid.
wine_start() {
  wine "$@" >>"$E2E_TMP/wine.log" 2>&1 &
  local pid=$!
  E2E_PIDS+=("$pid")
  echo "$pid"
}

# The settings key, as reg.exe spells it.
VARENKO_KEY='HKCU\Software\VB and VBA Program Settings\Dravin\Section'

reg_delete_key() { wine reg delete "$VARENKO_KEY" /f >/dev/null 2>&1 || true; }
reg_set() { wine reg add "$VARENKO_KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }
# reg_get NAME: prints the value's data, or nothing when it is missing.
reg_get() {
  wine reg query "$VARENKO_KEY" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_SZ *//p"
}
# reg_names: the value names present under the key, one per line, sorted.
reg_names() {
  wine reg query "$VARENKO_KEY" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *\([^ ]*\) *REG_[A-Z_]*.*/\1/p' | sort
}
