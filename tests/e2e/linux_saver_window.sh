#!/usr/bin/env bash
# The Linux renderer on Xvfb: command-line errors, no display, a counted windowed run with its
# screenshot and statistics, an end by SIGTERM or SIGINT, and the full-screen saver's exit rules
# driven by xdotool.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
prog="$VARENKO_LINUX_BUILD/varenko"
settings="$E2E_TMP/settings"
printf '00=0\n' >"$settings"  # no shells: the input tests need no show

# --- without a display ------------------------------------------------------------------------
out=$(DISPLAY=:31999 "$prog" 2>&1) && rc=0 || rc=$?
check_eq "no display: exit code 1" 1 "$rc"
check_eq "no display: one line naming it" 'varenko: cannot open display ":31999"' "$out"

# --- hostile options: one line, exit 2 --------------------------------------------------------
for args in "--window 0x0" "--window 99999x99999" "--frames -1" "--fixed-dt nan" "--burst 99" \
  "--seed" "--bogus"; do
  # shellcheck disable=SC2086
  out=$("$prog" $args 2>&1) && rc=0 || rc=$?
  check_eq "$args: exit code 2" 2 "$rc"
  check_eq "$args: one line" 1 "$(printf '%s\n' "$out" | wc -l)"
done
"$prog" --help | grep -q -- "--screenshot" && pass "--help lists the options" || fail "--help"

start_xvfb 1280x720x24

# --- a counted windowed run -------------------------------------------------------------------
shot="$E2E_TMP/last.png"
stats=$(timeout 120 "$prog" --window 320x200 --seed 3 --fixed-dt 0.04 --frames 12 \
  --settings "$settings" --screenshot "$shot" --stats) && rc=0 || rc=$?
check_eq "counted run exits 0" 0 "$rc"
check_eq "screenshot size" "320x200" "$(identify -format '%wx%h' "$shot" 2>/dev/null)"
check "stats line counts the frames" grep -q '^{"frames":12,"mean_ms":[0-9.]*,"worst_ms":[0-9.]*,"peak_particles":[0-9]*,"pool_size":[0-9]*' <<<"$stats"
out=$(timeout 60 "$prog" --window 64x64 --frames 2 --screenshot /nonexistent/dir/x.png 2>&1) &&
  rc=0 || rc=$?
check_eq "unwritable screenshot is an error" 1 "$rc"

# --- SIGTERM and SIGINT: a normal end, the picture on screen written ------------------------
for signal in TERM INT; do
  shot="$E2E_TMP/$signal.png"
  "$prog" --window 160x100 --seed 3 --screenshot "$shot" >"$E2E_TMP/signal.log" 2>&1 &
  pid=$!
  E2E_PIDS+=("$pid")
  wait_until 30 window_exists VarenkoVC || fail "SIG$signal: the window did not appear"
  sleep 1
  kill "-$signal" "$pid"
  rc=0
  wait "$pid" || rc=$?
  check_eq "SIG$signal: exit code 0" 0 "$rc"
  check_eq "SIG$signal: the screenshot is written" "160x100" \
    "$(identify -format '%wx%h' "$shot" 2>/dev/null)"
  wait_until 10 window_gone VarenkoVC || fail "SIG$signal: the window is gone"
done

# --- full screen: exit rules ------------------------------------------------------------------
start_saver() {  # start_saver ARGS...: runs the renderer in the background; sets $pid
  "$prog" --settings "$settings" "$@" >"$E2E_TMP/saver.log" 2>&1 &
  pid=$!
  E2E_PIDS+=("$pid")
  wait_until 30 window_exists VarenkoVC || fail "window VarenkoVC did not appear"
  sleep 0.5  # input grabs are taken right after the window maps
}
still_running() { sleep "${1:-1}"; window_exists VarenkoVC && kill -0 "$pid" 2>/dev/null; }
closes_with_0() {  # closes_with_0 WHAT: the window goes and the process ends with 0
  if wait_until 15 window_gone VarenkoVC; then pass "$1 closes"; else fail "$1 closes"; fi
  local rc=0
  wait "$pid" || rc=$?
  check_eq "$1: exit code" 0 "$rc"
}

xdotool mousemove 640 360
start_saver
id=$(find_window VarenkoVC | head -n1)
check_eq "covers the screen" "0,0 1280x720" \
  "$(xdotool getwindowgeometry "$id" | sed -n 's/ *Position: \([0-9]*,[0-9]*\).*/\1/p;s/ *Geometry: //p' | paste -sd' ')"
for i in $(seq 60); do
  xdotool mousemove_relative -- $((1 + i % 4)) 0
  xdotool mousemove_relative -- 0 -$((1 + (i + 2) % 4))
done
check "creeping moves of 1 to 4 pixels keep it running" still_running
xdotool mousemove_relative -- 2 2
check "a 4-pixel move keeps it running" still_running
xdotool mousemove_relative -- 3 2
closes_with_0 "a 5-pixel move"

xdotool mousemove 640 360
start_saver
xdotool mousemove 100 100
check "the first move, even a far jump, keeps it running" still_running
xdotool key space
closes_with_0 "a key"

start_saver
xdotool click 1
closes_with_0 "a click"

# --- windowed: Escape closes, mouse travel does not -------------------------------------------
start_saver --window 320x200
xdotool mousemove 10 10
xdotool mousemove 900 600
check "windowed: mouse travel keeps it running" still_running
xdotool mousemove 100 100  # no window manager: keys go to the window under the pointer
xdotool key Escape
closes_with_0 "windowed: Escape"
finish
