#!/usr/bin/env bash
# Varenko.dll under Wine: the full-screen window titled "VarenkoVC", the exit rules driven by
# xdotool, a close posted by another program, the exit code, and the single-instance rule.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb 1280x720x24
use_wine
renderer=$(win_exe Varenko.dll)

reg_delete_key
reg_set 00 0  # no shells: the input tests need no show

start_renderer() {  # sets $pid; the window must appear
  wine "$renderer" >>"$E2E_TMP/renderer.log" 2>&1 &
  pid=$!
  E2E_PIDS+=("$pid")
  local tries=0
  until window_exists VarenkoVC; do
    tries=$((tries + 1))
    if ! kill -0 "$pid" 2>/dev/null || ((tries > 900)); then
      fail "window VarenkoVC did not appear (renderer $(kill -0 "$pid" 2>/dev/null && echo running || echo ended))"
      return
    fi
    sleep 0.1
  done
  sleep 1
}
still_running() { sleep "${1:-1.5}"; window_exists VarenkoVC && kill -0 "$pid" 2>/dev/null; }
# Wine spends about 2 s inside DestroyWindow of a GL window; the wait allows for it.
closes_with_0() {
  if wait_until 30 window_gone VarenkoVC; then pass "$1 closes"; else fail "$1 closes"; fi
  local rc=0
  timeout 30 tail --pid="$pid" -f /dev/null || true
  wait "$pid" || rc=$?
  check_eq "$1: exit code" 0 "$rc"
}
# Each move is read back with GetCursorPos when its message is handled, so moves are spaced to
# be handled one at a time.
move() { xdotool mousemove_relative -- "$1" "$2"; sleep 0.15; }

xdotool mousemove 640 360
start_renderer
id=$(find_window VarenkoVC | head -n1)
check_eq "covers the screen" "0,0 1280x720" \
  "$(xdotool getwindowgeometry "$id" | sed -n 's/ *Position: \([0-9]*,[0-9]*\).*/\1/p;s/ *Geometry: //p' | paste -sd' ')"
info=$(wine_run 60 "$(win_exe tests/window_info.exe)" VarenkoVC | tr -d '\r')
check_eq "its client area is the virtual screen" \
  "$(sed -n 's/^virtual=//p' <<<"$info")" \
  "$(sed -n 's/^origin=//p' <<<"$info") $(sed -n 's/^client=//p' <<<"$info")"
check_eq "another program posts WM_CLOSE" posted "$(wine_run 60 "$(win_exe tests/post_close.exe)")"
check "a close without user input is refused" still_running 3
for i in $(seq 25); do
  move $((1 + i % 4)) 0
  move 0 -$((1 + (i + 1) % 4))
done
check "creeping moves of 1 to 4 pixels keep it running" still_running
move 2 2
check "a 4-pixel move keeps it running" still_running
move 3 2
closes_with_0 "a 5-pixel move"

xdotool mousemove 640 360
start_renderer
xdotool mousemove 100 100
check "the first move, even a far jump, keeps it running" still_running
xdotool key space
closes_with_0 "a key"

start_renderer
xdotool click 1
closes_with_0 "a click"

# The running renderer has retitled its window, so a second one starts beside it.
start_renderer
first=$pid
wine "$renderer" >>"$E2E_TMP/renderer.log" 2>&1 &
second=$!
E2E_PIDS+=("$second")
check "a second renderer opens its own window" \
  wait_until 90 bash -c '[[ $(xdotool search --onlyvisible --name "^VarenkoVC$" | wc -l) -ge 2 ]]'
sleep 1
xdotool key space
sleep 0.5
xdotool key space
pid=$second
closes_with_0 "both renderers on keys"
wait "$first" 2>/dev/null || true

# A screen saver with the standard title is running: the renderer brings it forward and leaves.
saver_out="$E2E_TMP/standard.out"
wine "$(win_exe tests/standard_saver_window.exe)" 30 >"$saver_out" 2>/dev/null &
E2E_PIDS+=("$!")
wait_until 60 grep -q shown "$saver_out" || fail "the standard saver window did not appear"
rc=0
timeout --kill-after=5 60 wine "$renderer" >>"$E2E_TMP/renderer.log" 2>&1 || rc=$?
check_eq "renderer beside a standard saver window: exit code" 0 "$rc"
check "and no window of its own" window_gone VarenkoVC

reg_delete_key
finish
