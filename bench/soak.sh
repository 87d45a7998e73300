#!/usr/bin/env bash
# Soak of the simulation: the default show and the heaviest dialog settings (30 shells, smoke 30 s,
# wind 100, stars 100, flare 100), each for an hour of show at a fixed step of 1/60 s, sampling the
# live particles, the pool's size, the resident memory and the worst frame every minute.
# Usage: bench/soak.sh [LINUX_BUILD [MINUTES [SAMPLE_SECONDS]]]  (defaults: build/linux, 60, 60)
# Prints the samples of each run, then a line with the resident memory at 10 minutes and at the
# end, their difference in percent, and the peak pool size.
set -euo pipefail
build=$(realpath "${1:-$(dirname "$0")/../build/linux}")
minutes=${2:-60}
sample=${3:-60}

soak() {  # soak LABEL SETTINGS
  local label=$1 out at10 last peak
  out=$("$build/bench/show_soak" --settings "$2" --seconds $((minutes * 60)) --dt 0.0166667 \
    --sample "$sample" --seed 5)
  echo "== $label"
  echo "$out"
  # The sample at ten minutes, or the first one when the run is shorter.
  at10=$(awk -v t="t=$((minutes < 10 ? sample : 600))s" '$1 == t { print }' <<<"$out" |
    sed -n 's/.*rss_kib=\([0-9]*\).*/\1/p')
  at10=${at10:-$(sed -n '1s/.*rss_kib=\([0-9]*\).*/\1/p' <<<"$out")}
  last=$(grep -v summary <<<"$out" | tail -1 | sed -n 's/.*rss_kib=\([0-9]*\).*/\1/p')
  peak=$(sed -n 's/.*peak_pool=\([0-9]*\).*/\1/p' <<<"$out")
  echo "$label: resident ${at10} KiB early, ${last} KiB at the end" \
    "($(awk -v a="$at10" -v b="$last" 'BEGIN { printf "%+.1f", (b - a) * 100 / a }') %)," \
    "peak pool $peak"
}

soak "default show" "10,5,20,10,20,20,1,1"
soak "heaviest dialog settings" "30,30,100,10,100,100,1,1"
