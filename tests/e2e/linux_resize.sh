#!/usr/bin/env bash
# The renderer in a window another program owns (xev's window stands in for a screen-saver host)
# and in its own window: it follows every size from 64 x 64 to 1920 x 1080, keeps drawing, and
# ends quietly with 0 when the window is destroyed or on SIGINT.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
prog="$VARENKO_LINUX_BUILD/varenko"
settings="$E2E_TMP/settings"
printf '01=0\n' >"$settings"  # no smoke: the small pictures stay cheap to write
sizes=(64x64 1920x1080 300x700 1000x200 640x480)

start_xvfb 1920x1080x24

# newest_size DIR: the size of the newest recorded frame.
newest_size() {
  local f
  f=$(find "$1" -name 'frame-*.png' -newer "$1/.mark" -size +0 2>/dev/null | sort | tail -n2 | head -n1)
  [[ -n "$f" ]] && identify -format '%wx%h' "$f" 2>/dev/null
}
# shows_size DIR WxH: a frame drawn after the mark has this size.
shows_size() { [[ "$(newest_size "$1")" == "$2" ]]; }
# follows DIR WINDOW: resizes the window through every size and checks that frames follow.
follows() {
  local dir=$1 window=$2 size
  for size in "${sizes[@]}"; do
    touch "$dir/.mark"
    xdotool windowsize "$window" "${size%x*}" "${size#*x}"
    if wait_until 30 shows_size "$dir" "$size"; then
      pass "frames follow the window to $size"
    else
      fail "frames did not follow the window to $size (last $(newest_size "$dir"))"
    fi
  done
}

# --- a window given by id ---------------------------------------------------------------------
xev -geometry 200x150 >"$E2E_TMP/xev.log" 2>&1 &
xev_pid=$!
E2E_PIDS+=("$xev_pid")
wait_until 10 grep -q 'Outer window is' "$E2E_TMP/xev.log" || fail "xev did not start"
outer=$(sed -n 's/^Outer window is \(0x[0-9a-fA-F]*\).*/\1/p' "$E2E_TMP/xev.log" | head -n1)

record="$E2E_TMP/given"
"$prog" --window-id "$outer" --settings "$settings" --seed 4 --fixed-dt 0.04 --frames 100000 \
  --record "$record" --stats >"$E2E_TMP/given.out" 2>"$E2E_TMP/given.err" &
pid=$!
E2E_PIDS+=("$pid")
wait_until 30 test -s "$record/frame-00002.png" || fail "no frames recorded"
follows "$record" "$outer"
check "still running after the resizes" kill -0 "$pid"

# The host destroys its window: the renderer ends with 0 and says nothing.
kill "$xev_pid"
rc=0
timeout 10 tail --pid="$pid" -f /dev/null || rc=$?
check_eq "ends when its window is destroyed" 0 "$rc"
rc=0
wait "$pid" || rc=$?
check_eq "exit code after the window went" 0 "$rc"
check_eq "no error text" "" "$(cat "$E2E_TMP/given.err")"
check "the last frame's projection had the window's last aspect" \
  grep -q '"viewport":\[640,480\],"aspect":1.3333' "$E2E_TMP/given.out"

# --- its own window ---------------------------------------------------------------------------
record="$E2E_TMP/own"
"$prog" --window 320x200 --settings "$settings" --seed 4 --fixed-dt 0.04 --frames 100000 \
  --record "$record" --stats >"$E2E_TMP/own.out" 2>"$E2E_TMP/own.err" &
pid=$!
E2E_PIDS+=("$pid")
wait_until 30 window_exists VarenkoVC || fail "window VarenkoVC did not appear"
follows "$record" "$(find_window VarenkoVC | head -n1)"
kill -INT "$pid"
rc=0
wait "$pid" || rc=$?
check_eq "SIGINT ends it with 0" 0 "$rc"
check_eq "no error text" "" "$(cat "$E2E_TMP/own.err")"
check "the last frame's projection had the window's last aspect" \
  grep -q '"viewport":\[640,480\],"aspect":1.3333' "$E2E_TMP/own.out"
finish
