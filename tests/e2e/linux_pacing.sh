#!/usr/bin/env bash
# Frames paced by the Linux renderer: --max-fps 30 holds 300 frames to about 10 s at a fraction of
# the processor time of an unpaced run; on battery power (a power-supply folder handed in) the
# pace halves; the saver runs at the lowest priority and ends on SIGTERM.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb 640x360x24
xvfb=${E2E_PIDS[0]}
varenko="$VARENKO_LINUX_BUILD/varenko"

# cpu_ticks PID: user + system clock ticks of a running process.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# run_timed ARGS...: runs the renderer; sets $wall (s) and $cpu (s, the renderer and the X server
# together, since the X server does part of the drawing's work).
run_timed() {
  local before t0 t1 out
  before=$(cpu_ticks "$xvfb")
  t0=$(date +%s.%N)
  out=$( (command time -f 'cpu=%U %S' timeout 120 "$varenko" --seed 3 "$@") 2>&1)
  t1=$(date +%s.%N)
  wall=$(echo "$t1 - $t0" | bc -l)
  cpu=$(echo "$(sed -n 's/^cpu=\([0-9.]*\) \([0-9.]*\)$/\1 + \2/p' <<<"$out") + ($(cpu_ticks "$xvfb") - $before) / $(getconf CLK_TCK)" | bc -l)
}
at_least() { (($(echo "$1 >= $2" | bc -l))); }

run_timed --window 320x180 --max-fps 30 --frames 300
paced_wall=$wall paced_share=$(echo "$cpu / $wall" | bc -l)
check "300 frames at --max-fps 30 take about 10 s (${wall:0:5} s)" \
  eval 'at_least "$paced_wall" 9.9 && at_least 20 "$paced_wall"'
run_timed --window 320x180 --max-fps 0 --frames 300
unpaced_share=$(echo "$cpu / $wall" | bc -l)
check "paced, the show uses far less processor time a second (${paced_share:0:5} s/s against ${unpaced_share:0:5} s/s unpaced)" \
  at_least "$unpaced_share" "$(echo "2 * $paced_share" | bc -l)"

# --- battery power --------------------------------------------------------------------------
power="$E2E_TMP/power"
mkdir -p "$power/AC" "$power/BAT0"
printf 'Mains\n' >"$power/AC/type"
printf 'Battery\n' >"$power/BAT0/type"
printf 'Discharging\n' >"$power/BAT0/status"
printf '1\n' >"$power/AC/online"
run_timed --window 160x90 --max-fps 10 --frames 40 --power-supply "$power"
mains_wall=$wall
printf '0\n' >"$power/AC/online"
run_timed --window 160x90 --max-fps 10 --frames 40 --power-supply "$power"
check "on battery the pace halves (${mains_wall:0:4} s on mains, ${wall:0:4} s on battery)" \
  eval 'at_least "$wall" 7.7 && at_least "$wall" "$(echo "1.6 * $mains_wall" | bc -l)"'

# --- priority and SIGTERM -------------------------------------------------------------------
"$varenko" --max-fps 30 >"$E2E_TMP/saver.log" 2>&1 &
pid=$!
E2E_PIDS+=("$pid")
wait_until 30 xdotool search --name "^VarenkoVC\$" || fail "the saver window appears: $(cat "$E2E_TMP/saver.log")"
sleep 1
check_eq "after set-up the saver runs at the lowest priority" 19 "$(ps -o ni= -p "$pid" | tr -d ' ')"
kill -TERM "$pid"
rc=0
timeout 10 tail --pid="$pid" -f /dev/null || rc=1
wait "$pid" || rc=$?
check_eq "SIGTERM ends it with 0" 0 "$rc"
finish
