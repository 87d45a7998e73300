#!/usr/bin/env bash
# The finished frame drawn with batched sprites and drawn sprite by sprite must be the same picture:
# a busy show, a smoky one and a finale, each seeded and stepped identically both ways. Rounding
# may move single pixels; a sprite missing, misplaced, recoloured or blended out of order shows as
# a large mean difference or a bright spot in the block-averaged difference.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
prog="$VARENKO_LINUX_BUILD/varenko"
start_xvfb 1280x720x24

scene() {  # scene NAME SETTINGS OPTIONS...: draws the scene both ways
  local name=$1 settings="$E2E_TMP/$1.settings"
  shift
  printf "$1" >"$settings"
  shift
  timeout 120 "$prog" --window 480x270 --fixed-dt 0.05 --settings "$settings" \
    --screenshot "$E2E_TMP/$name-batched.png" "$@"
  timeout 120 "$prog" --window 480x270 --fixed-dt 0.05 --settings "$settings" \
    --screenshot "$E2E_TMP/$name-reference.png" --draw-reference "$@"
}

compare_scene() {  # compare_scene NAME
  local a="$E2E_TMP/$1-batched.png" b="$E2E_TMP/$1-reference.png" mae block lit
  # The normalised figure in brackets; 1/255 is one grey level.
  # compare exits 1 when the pictures differ at all, which rounding makes them.
  mae=$(compare -metric MAE "$a" "$b" null: 2>&1 || true)
  mae=$(sed -n 's/.*(\(.*\)).*/\1/p' <<<"$mae")
  # Largest difference of 8 x 8 block averages.
  convert "$a" -scale 12.5% "$E2E_TMP/$1-a-blocks.png"
  convert "$b" -scale 12.5% "$E2E_TMP/$1-b-blocks.png"
  block=$(compare -metric PAE "$E2E_TMP/$1-a-blocks.png" "$E2E_TMP/$1-b-blocks.png" null: 2>&1 || true)
  block=$(sed -n 's/.*(\(.*\)).*/\1/p' <<<"$block")
  lit=$(convert "$b" -colorspace Gray -threshold 50% -format '%[fx:mean]' info:)
  echo "$1: mean difference $mae, worst 8x8 block $block, bright share $lit"
  check "$1: the frame shows bursts" awk -v l="$lit" 'BEGIN { exit !(l > 0.001) }'
  check "$1: mean difference well under one grey level" awk -v m="$mae" 'BEGIN { exit !(m != "" && m < 0.3 / 255) }'
  check "$1: no block differs by more than two grey levels" awk -v m="$block" 'BEGIN { exit !(m != "" && m <= 2 / 255) }'
}

scene busy '00=30\n' --seed 5 --frames 200
scene smoky '00=20\n01=20\n02=5\n' --seed 8 --frames 200
scene finale '00=20\n' --seed 3 --burst 19 --frames 220
for s in busy smoky finale; do compare_scene "$s"; done
finish
