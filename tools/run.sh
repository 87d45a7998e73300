#!/usr/bin/env bash
# Sets up everything, builds the Linux renderer and runs the show: full screen on $DISPLAY, or,
# without a display, on a private Xvfb with the frames written as pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh run
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target varenko

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  exec build/linux/varenko "$@"
fi

# Ten seconds of the show at 25 frames a second: modest enough for two cores and a software
# renderer. A fresh folder each time, so that no frames of an older run are left among them.
out=${VARENKO_RECORD_DIR:-$PWD/build/show}
rm -f "$out"/frame-*.png
echo "No display: drawing 10 seconds of the show on a private Xvfb into $out"
tools/e2e/with-xvfb build/linux/varenko --window 960x540 --fixed-dt 0.04 --frames 250 \
  --record "$out" "$@"
echo "The frames are $out/frame-00001.png to $out/frame-00250.png (25 per second)"
