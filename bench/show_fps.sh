#!/usr/bin/env bash
# Frame rate of the seeded heavy show (maxShells 30) at 1280 x 720 on Xvfb, with batched particle
# drawing and with every sprite drawn on its own, and of the default show batched.
# Usage: bench/show_fps.sh [LINUX_BUILD [SEED [FRAMES]]]; prints one line per run.
set -uo pipefail
source "$(dirname "$0")/../tools/e2e/lib.sh"
set +e
build=$(realpath "${1:-$VARENKO_LINUX_BUILD}")
seed=${2:-5}
frames=${3:-600}
start_xvfb 1280x720x24

heavy="$E2E_TMP/heavy"
printf '00=30\n' >"$heavy"
defaults="$E2E_TMP/defaults"
: >"$defaults"

run() {  # run LABEL SETTINGS OPTIONS...
  local label=$1 settings=$2 stats mean worst peak
  shift 2
  stats=$("$build/varenko" --window 1280x720 --seed "$seed" --fixed-dt 0.0166 --frames "$frames" \
    --settings "$settings" --stats "$@")
  mean=$(sed -n 's/.*"mean_ms":\([0-9.]*\).*/\1/p' <<<"$stats")
  worst=$(sed -n 's/.*"worst_ms":\([0-9.]*\).*/\1/p' <<<"$stats")
  peak=$(sed -n 's/.*"peak_particles":\([0-9]*\).*/\1/p' <<<"$stats")
  echo "$label: $(echo "scale=1; 1000 / $mean" | bc) frames/s (mean ${mean} ms, worst ${worst} ms, peak ${peak} particles)"
}

run "heavy show, batched" "$heavy"
run "heavy show, per sprite" "$heavy" --draw-reference
run "default show, batched" "$defaults"
run "default show, per sprite" "$defaults" --draw-reference
