#!/usr/bin/env bash
# Start-up time and frame rate of the nearly empty frame (no shells, smoke, stars, clouds or
# flare) at 1280x720 on Xvfb, for the Linux renderer and for Varenko.dll under Wine.
# Usage: bench/renderer_startup.sh [LINUX_BUILD [WINDOWS_BUILD]]; prints one line per figure.
set -uo pipefail
source "$(dirname "$0")/../tools/e2e/lib.sh"
set +e
VARENKO_LINUX_BUILD=$(realpath "${1:-$VARENKO_LINUX_BUILD}")
VARENKO_WINDOWS_BUILD=$(realpath "${2:-$VARENKO_WINDOWS_BUILD}")
start_xvfb 1280x720x24

empty="$E2E_TMP/empty"
printf '00=0\n01=0\n04=0\n05=0\n06=0\n' >"$empty"

# Linux: the statistics line carries the first swap's time since the process started.
for run in 1 2 3; do
  stats=$("$VARENKO_LINUX_BUILD/varenko" --window 1280x720 --frames 600 --settings "$empty" --stats)
  mean=$(sed -n 's/.*"mean_ms":\([0-9.]*\).*/\1/p' <<<"$stats")
  first=$(sed -n 's/.*"first_frame_ms":\([0-9.]*\).*/\1/p' <<<"$stats")
  echo "linux run $run: first swapped frame ${first} ms after start; $(echo "scale=1; 1000 / $mean" | bc) frames/s (mean ${mean} ms)"
done

# Windows under Wine: the window appears when its creation (settings, context, resources) is
# done and the first frame follows at once; Wine's fps channel counts the swaps.
[[ -f "$VARENKO_WINDOWS_BUILD/Varenko.dll" ]] || { echo "no $VARENKO_WINDOWS_BUILD/Varenko.dll"; exit 0; }
use_wine
reg_delete_key
for v in 00 01 04 05 06; do reg_set "$v" 0; done
wineserver -p 60  # keep the server up so that each run measures the renderer, not Wine's start
for run in 1 2 3; do
  log="$E2E_TMP/fps$run.log"
  start=$(date +%s%N)
  WINEDEBUG=fps wine "$(win_exe Varenko.dll)" 2>"$log" &
  pid=$!
  wait_until 120 window_exists VarenkoVC
  shown=$((($(date +%s%N) - start) / 1000000))
  sleep 12
  xdotool key space
  wait "$pid"
  fps=$(grep -o 'approx [0-9.]*fps' "$log" | tail -n1)
  echo "wine run $run: window shown ${shown} ms after start; ${fps:-no fps report}"
done
reg_delete_key
