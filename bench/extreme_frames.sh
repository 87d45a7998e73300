#!/usr/bin/env bash
# Worst simulation time of a frame over 60 s of show at 1/60 s steps, with the stored values a
# hand-edited registry might hold ("00" = 32767, "01" = 2147483647; then every value at
# 2147483647), beside the heaviest settings the dialog can make. Stops a run after LIMIT seconds
# of real time, for builds in which such a show takes seconds a frame.
# Usage: bench/extreme_frames.sh [LINUX_BUILD [LIMIT]]; prints each run's summary line.
set -euo pipefail
build=$(realpath "${1:-$(dirname "$0")/../build/linux}")
limit=${2:-300}
max=2147483647
for settings in "32767,$max" "$max,$max,$max,$max,$max,$max,$max,$max" "30,30,100,10,100,100,1,1"; do
  echo "$settings: $("$build/bench/show_soak" --settings "$settings" --seconds 60 --dt 0.0166667 \
    --sample 60 --seed 7 --wall-limit "$limit" | grep summary)"
done
