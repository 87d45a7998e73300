#!/usr/bin/env bash
# The sound's cost on the heaviest show the dialog offers, seeded, at 640 x 360 on Xvfb: the
# frame times of the same show (a fixed step, paced at 60 frames a second) with sound off,
# playing into a private PulseAudio null sink, and recorded into a WAV file (mixed inside the
# frames); the playback thread's share of the time it plays and the delay from an event's
# hand-off to its sound at the output.
# Usage: bench/sound_cost.sh [LINUX_BUILD [FRAMES [SEED]]]; prints one line per run.
set -uo pipefail
source "$(dirname "$0")/../tools/e2e/lib.sh"
source "$(dirname "$0")/../tools/e2e/pulse.sh"
set +e
build=$(realpath "${1:-$VARENKO_LINUX_BUILD}")
frames=${2:-900}
seed=${3:-5}
start_xvfb 640x360x24
start_pulse
heaviest="$E2E_TMP/heaviest"
printf '00=30\n01=30\n02=100\n03=30\n04=100\n05=100\n06=1\n07=1\n' >"$heaviest"

field() { sed -n "s/.*\"$1\":\([0-9.]*\).*/\1/p" <<<"$2"; }
run() {  # run LABEL OPTIONS...
  local label=$1 stats
  shift
  stats=$("$build/varenko" --window 640x360 --seed "$seed" --frames "$frames" --max-fps 60 \
    --fixed-dt 0.0166 --settings "$heaviest" --stats "$@")
  echo "$label: mean $(field mean_ms "$stats") ms, worst $(field worst_ms "$stats") ms," \
    "audio thread $(field sound_mix_share "$stats") of real time," \
    "delay to output $(field sound_delay_ms "$stats") ms"
}

for round in 1 2 3; do
  run "round $round, sound off" --sound 0
  run "round $round, sound 100, played" --sound 100
  run "round $round, sound 100, recorded" --sound 100 --record-audio "$E2E_TMP/sound.wav"
done
