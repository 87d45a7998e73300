#!/usr/bin/env bash
# How long the Linux renderer takes to end after SIGTERM with two busy processes beside it: the
# median (and range) of RUNS runs, from the signal to the parent's wait returning, for the
# full-screen saver on Xvfb and for --root drawing into the window named by XSCREENSAVER_WINDOW
# (here the root window). Each run signals a show that has been running for two seconds.
# Usage: bench/sigterm_latency.sh [VARENKO [RUNS]]; prints one line per case.
set -uo pipefail
source "$(dirname "$0")/../tools/e2e/lib.sh"
set +e
prog=$(realpath "${1:-$VARENKO_LINUX_BUILD/varenko}")
runs=${2:-10}
start_xvfb 1280x720x24
root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')

yes >/dev/null &
E2E_PIDS+=("$!")
yes >/dev/null &
E2E_PIDS+=("$!")

now_us() { echo "${EPOCHREALTIME/./}"; }

# one_run ARGS...: starts the renderer, signals it after two seconds of show; prints the ms
one_run() {
  local pid t0 t1 rc
  "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 2
  t0=$(now_us)
  kill -TERM "$pid"
  wait "$pid"
  rc=$?
  t1=$(now_us)
  echo "$(((t1 - t0) / 1000)) $rc"
}

# measure LABEL ARGS...: RUNS runs; prints the median, the range and the exit codes
measure() {
  local label=$1 times codes
  shift
  local results=()
  for _ in $(seq "$runs"); do results+=("$(one_run "$@")"); done
  times=$(printf '%s\n' "${results[@]}" | cut -d' ' -f1 | sort -n)
  codes=$(printf '%s\n' "${results[@]}" | cut -d' ' -f2 | sort -u | paste -sd,)
  printf '%s: median %s ms (min %s, max %s) over %s runs, exit codes %s\n' "$label" \
    "$(sed -n "$(((runs + 1) / 2))p" <<<"$times")" "$(head -n1 <<<"$times")" \
    "$(tail -n1 <<<"$times")" "$runs" "$codes"
}

measure "full screen" "$prog"
measure "--root in XSCREENSAVER_WINDOW" env XSCREENSAVER_WINDOW="$root" "$prog" --root
