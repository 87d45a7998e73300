#!/usr/bin/env bash
# The night sky of the Linux renderer, mostly with no shells launched: stars under a clear sky,
# clouds that hide them when unlit and grey up with the ambient level, the horizon band of a seed
# that draws one, start-up with hostile star densities, and stored values past the settings
# dialog's ranges. Screenshots are judged by measurable properties only.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
varenko="$VARENKO_LINUX_BUILD/varenko"

# sky NAME SEED SETTINGS...: 200 frames of the sky with the given settings lines, into NAME.png.
sky() {
  local name=$1 seed=$2; shift 2
  printf '00=0\n' >"$E2E_TMP/$name.conf"
  local line
  for line in "$@"; do printf '%s\n' "$line" >>"$E2E_TMP/$name.conf"; done
  timeout 120 "$varenko" --window 960x540 --seed "$seed" --fixed-dt 0.05 --frames 200 \
    --settings "$E2E_TMP/$name.conf" --screenshot "$E2E_TMP/$name.png"
}
# mean PNG GEOMETRY: mean brightness (0..255) of a region.
mean() { convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:round(mean*255)]' info:; }
# points PNG: separate bright spots in the upper half (the sky well above the horizon).
points() {
  convert "$1" -crop 960x270+0+0 +repage -colorspace gray -threshold 25% \
    -define connected-components:verbose=true -connected-components 8 null: |
    grep -c 'gray(255)' || true
}
below() { (($1 < $2)); }

check "clear sky renders" sky clear 1 06=0
check "unlit clouds render" sky dark 1 03=0
check "lit clouds render" sky grey 1 03=30
check "no stars, no clouds renders" sky empty 1 04=0 06=0

clear_points=$(points "$E2E_TMP/clear.png")
check "clear sky: many small bright points ($clear_points)" below 200 "$clear_points"
check "clear sky: points on black, not a lit field" below "$(mean "$E2E_TMP/clear.png" 960x270+0+0)" 5
dark_points=$(points "$E2E_TMP/dark.png")
check "black clouds hide stars ($dark_points of $clear_points)" below "$dark_points" "$clear_points"
check "ambient light greys the clouds" below \
  "$(($(mean "$E2E_TMP/dark.png" 960x270+0+0) + 5))" "$(mean "$E2E_TMP/grey.png" 960x270+0+0)"
check_eq "no stars and no clouds: the sky above is black" 0 "$(points "$E2E_TMP/empty.png")"

# Seed 3 draws a horizon band, which the opening flight faces. With no stars and no clouds it is
# the only thing drawn: a coloured glow over a good part of the picture.
lit_share() {
  convert "$1" -channel RGB -separate -evaluate-sequence max -threshold 6% \
    -format '%[fx:round(mean*1000)]' info:
}
check "horizon seed renders" sky horizon 3 04=0 06=0
check "horizon band glows" below 50 "$(lit_share "$E2E_TMP/horizon.png")"

# Hostile star densities: a huge one is bounded and starts at once; a negative one draws none.
start=$SECONDS
check "star density 2000000000 starts" sky huge 1 04=2000000000
check "  and quickly" below $((SECONDS - start)) 60
check "negative star density, wind and ambient run" sky negative 1 04=-7 02=-50 03=-10 06=0
check_eq "negative star density: no stars" 0 "$(points "$E2E_TMP/negative.png")"

# Stored values past the settings dialog's ranges count as the ranges' ends: the same picture,
# shells, lit smoke and flares included.
printf '03=99999999999\n04=99999999999\n05=99999999999\n' >"$E2E_TMP/past.conf"
printf '03=30\n04=100\n05=100\n' >"$E2E_TMP/ends.conf"
for name in past ends; do
  check "$name of the dialog's ranges: ambient, stars and flare render" timeout 120 "$varenko" \
    --window 480x270 --seed 1 --fixed-dt 0.05 --frames 80 --settings "$E2E_TMP/$name.conf" \
    --screenshot "$E2E_TMP/$name.png"
done
check "  past the ranges: the picture of their ends" cmp "$E2E_TMP/past.png" "$E2E_TMP/ends.png"

finish
