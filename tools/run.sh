#!/usr/bin/env bash
# Sets up everything, builds the Linux renderer and runs the show: full screen on $DISPLAY, or,
# without a display, on a private Xvfb with the frames written as pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target varenko

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  exec build/linux/varenko "$@"
fi

out=${VARENKO_RECORD_DIR:-$PWD/build/show}
mkdir -p "$out"
echo "No display: drawing the show on a private Xvfb into $out"
tools/e2e/with-xvfb build/linux/varenko --window 1280x720 --fixed-dt 0.04 --frames 300 \
  --screenshot "$out/show.png" "$@"
echo "The last frame is $out/show.png"
