#!/usr/bin/env bash
# Renders the preview window's still picture with our own renderer and writes it as the 152 x 112
# 24-bit BMP resources/frontend/preview.bmp: a fixed seed and frame of the show on a private Xvfb,
# the part of the sky around the bursts cut out and scaled down 4:1.
#
#   tools/make_preview_picture.sh [LINUX_BUILD_DIR]     (default build/linux; needs `varenko`)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/linux}
seed=3        # a sky with several bursts close together near frame 205
frames=205
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Rendered at 1216 x 896 and cut to 608 x 448 around the bursts, so that they fill the picture.
tools/e2e/with-xvfb "$build/varenko" --window 1216x896 --seed "$seed" --fixed-dt 0.04 \
  --frames "$frames" --screenshot "$work/frame.png" >/dev/null
convert "$work/frame.png" -crop 608x448+316+130 +repage -filter Lanczos -resize '152x112!' \
  -type TrueColor BMP3:resources/frontend/preview.bmp
echo "wrote resources/frontend/preview.bmp"
