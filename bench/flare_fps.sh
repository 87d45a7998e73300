#!/usr/bin/env bash
# Cost of the lens flare in a finale: the seeded show with every shell a finale (--burst 19) at
# 1280 x 720 on Xvfb, with the flare off, at its default brightness and at its brightest.
# Usage: bench/flare_fps.sh [LINUX_BUILD [SEED [FRAMES]]]; prints one line per run.
set -uo pipefail
source "$(dirname "$0")/../tools/e2e/lib.sh"
set +e
build=$(realpath "${1:-$VARENKO_LINUX_BUILD}")
seed=${2:-3}
frames=${3:-900}
start_xvfb 1280x720x24

for flare in 0 20 100; do
  printf '05=%s\n' "$flare" >"$E2E_TMP/flare$flare"
  stats=$("$build/varenko" --window 1280x720 --seed "$seed" --fixed-dt 0.0166 --frames "$frames" \
    --burst 19 --settings "$E2E_TMP/flare$flare" --stats)
  mean=$(sed -n 's/.*"mean_ms":\([0-9.]*\).*/\1/p' <<<"$stats")
  worst=$(sed -n 's/.*"worst_ms":\([0-9.]*\).*/\1/p' <<<"$stats")
  echo "finale show, flare $flare: mean ${mean} ms a frame, worst ${worst} ms"
done
