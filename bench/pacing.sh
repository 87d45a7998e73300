#!/usr/bin/env bash
# What the frame pacing costs and saves, on Xvfb: processor seconds used per second of the default
# show in a 640 x 360 window paced at 60 frames a second against unpaced (the renderer and the X
# server together, since the X server does part of the drawing's work), the spread of the frame
# intervals at 60 (and the same at 30, a rate a loaded machine still reaches), and the frame rate
# of the default show at 1280 x 720 unpaced.
# Usage: bench/pacing.sh [LINUX_BUILD [SECONDS]]; prints one line per figure. A build from before
# the pacing gives the last figure alone.
set -uo pipefail
source "$(dirname "$0")/../tools/e2e/lib.sh"
set +e
build=$(realpath "${1:-$VARENKO_LINUX_BUILD}")
seconds=${2:-20}
start_xvfb 1280x720x24
xvfb=${E2E_PIDS[0]}
defaults="$E2E_TMP/defaults"
: >"$defaults"
field() { sed -n "s/.*\"$1\":\([0-9.]*\).*/\1/p" <<<"$2"; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

if "$build/varenko" --help | grep -q -- --max-fps; then
  unpaced=(--max-fps 0)
  # run LABEL OPTIONS...: a run of $seconds seconds of show on the clock; prints its figures
  run() {
    local label=$1 before t0 t1 out cpu wall frames
    shift
    before=$(ticks "$xvfb")
    t0=$(date +%s.%N)
    out=$( (command time -f 'cpu=%U %S' "$build/varenko" --window 640x360 --seed 5 --settings \
      "$defaults" --stats "$@") 2>&1)
    t1=$(date +%s.%N)
    wall=$(echo "$t1 - $t0" | bc -l)
    cpu=$(echo "$(sed -n 's/^cpu=\([0-9.]*\) \([0-9.]*\)$/\1 + \2/p' <<<"$out") + ($(ticks "$xvfb") - $before) / $(getconf CLK_TCK)" | bc -l)
    frames=$(field frames "$out")
    printf '%s: %.3f processor s per s of show (%.1f frames/s; frame interval mean %s ms, spread (sd) %s ms, worst %s ms)\n' \
      "$label" "$(echo "$cpu / $wall" | bc -l)" "$(echo "$frames / $wall" | bc -l)" \
      "$(field interval_mean_ms "$out")" "$(field interval_sd_ms "$out")" "$(field interval_worst_ms "$out")"
  }
  run "640x360, paced at 60" --max-fps 60 --frames $((seconds * 60))
  run "640x360, paced at 30" --max-fps 30 --frames $((seconds * 30))
  # The unpaced run lasts about as long: its frame count from a short trial.
  trial=$("$build/varenko" --window 640x360 --seed 5 --settings "$defaults" --stats --max-fps 0 --frames 120)
  rate=$(echo "1000 / $(field mean_ms "$trial")" | bc)
  run "640x360, unpaced" --max-fps 0 --frames $((seconds * rate))
else
  unpaced=()
fi
# Processor time per frame is given beside the rate: on a loaded machine it varies far less.
before=$(ticks "$xvfb")
stats=$( (command time -f 'cpu=%U %S' "$build/varenko" --window 1280x720 --seed 5 --fixed-dt 0.0166 \
  --frames 600 --settings "$defaults" --stats "${unpaced[@]}") 2>&1)
cpu=$(echo "$(sed -n 's/^cpu=\([0-9.]*\) \([0-9.]*\)$/\1 + \2/p' <<<"$stats") + ($(ticks "$xvfb") - $before) / $(getconf CLK_TCK)" | bc -l)
printf '1280x720, default show, unpaced: %.1f frames/s (mean %s ms; %.1f processor ms per frame)\n' \
  "$(echo "1000 / $(field mean_ms "$stats")" | bc -l)" "$(field mean_ms "$stats")" \
  "$(echo "$cpu * 1000 / 600" | bc -l)"
