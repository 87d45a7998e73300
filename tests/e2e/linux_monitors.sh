#!/usr/bin/env bash
# The full-screen Linux renderer over several monitors: two halves of the screen show the same
# picture as the screen alone, uneven monitors leave the space no monitor shows undrawn, and the
# frame-rate readout lies in the first monitor's lower-left corner. On Xvfb, which reports one
# monitor only, the monitors are handed in with --monitors; an Xorg server with two dummy screens
# joined by Xinerama then gives the renderer two real monitors to find by itself.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb 1280x480x24
varenko="$VARENKO_LINUX_BUILD/varenko"
field() { sed -n "s/.*\"$1\":\([0-9.-]*\).*/\1/p" <<<"$2"; }
show() {  # show PNG ARGS...: a seeded full-screen run of 250 frames; prints its statistics
  local png=$1; shift
  timeout 200 "$varenko" --seed 7 --fixed-dt 0.02 --frames 250 --stats --screenshot "$png" "$@"
}
# mean PNG WxH+X+Y: the mean brightness (0 to 1) of a region
mean() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }

one=$(show "$E2E_TMP/one.png")
two=$(show "$E2E_TMP/two.png" --monitors 640x480+0+0,640x480+640+0)
check_eq "the screen alone is one slice" 1 "$(field slices "$one")"
check_eq "two monitors are two slices" 2 "$(field slices "$two")"
differ=$(compare -metric AE -fuzz 3% "$E2E_TMP/one.png" "$E2E_TMP/two.png" null: 2>&1 || true)
check "two halves show one continuous picture, the same as the screen alone ($differ pixels differ)" \
  test "${differ%%.*}" -le 600

uneven=$(show "$E2E_TMP/uneven.png" --monitors 640x480+0+0,400x300+640+0 --fps)
check_eq "uneven monitors are two slices" 2 "$(field slices "$uneven")"
check_eq "no monitor below the small one: nothing drawn" 0 "$(mean "$E2E_TMP/uneven.png" 400x180+640+300)"
check_eq "no monitor right of the small one: nothing drawn" 0 "$(mean "$E2E_TMP/uneven.png" 240x480+1040+0)"
for region in 640x300+0+0 400x300+640+0; do
  check "the monitor at $region shows the sky" test "$(convert "$E2E_TMP/uneven.png" -crop "$region" \
    +repage -fx 'intensity>0.02' -format '%[fx:round(mean*1000)]' info:)" -ge 5
done
# The readout: yellow segments in the first monitor's lower-left corner, and only there.
readout=$(convert "$E2E_TMP/uneven.png" -crop 160x40+0+440 +repage -fx 'r>0.9&&g>0.9&&b>0.5&&b<0.7' \
  -format '%[fx:round(mean*6400)]' info:)
check "--fps draws the frame rate in the lower-left corner ($readout pixels)" test "$readout" -ge 40

# --- two monitors reported by the X server --------------------------------------------------
if start_xorg_two_screens; then
  xorg=$(show "$E2E_TMP/xorg.png")
  check_eq "two Xinerama screens are found as two monitors" 2 "$(field slices "$xorg")"
  differ=$(compare -metric AE -fuzz 3% "$E2E_TMP/one.png" "$E2E_TMP/xorg.png" null: 2>&1 || true)
  check "and show one continuous picture ($differ pixels differ)" test "${differ%%.*}" -le 600
else
  echo "skipped: two real monitors need Xorg's dummy driver and root"
fi
finish
