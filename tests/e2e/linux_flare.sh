#!/usr/bin/env bash
# The lens flare on the finished picture: a white salute seen by the opening camera throws a flare
# that brightens the frame with flareBrightness 100 and is absent with 0.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
prog="$VARENKO_LINUX_BUILD/varenko"
start_xvfb 1280x720x24

mean() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }
shot() {  # shot FLARE FRAMES FILE
  printf '05=%s\n' "$1" >"$E2E_TMP/settings-$1"
  timeout 300 "$prog" --window 640x360 --seed 3 --burst 17 --fixed-dt 0.05 --frames "$2" \
    --settings "$E2E_TMP/settings-$1" --screenshot "$3"
}

# Seed 3's first salutes burst in view of the opening flight at about nine seconds.
shot 0 180 "$E2E_TMP/off.png"
shot 100 180 "$E2E_TMP/on.png"
off=$(mean "$E2E_TMP/off.png")
on=$(mean "$E2E_TMP/on.png")
echo "mean grey without flare $off, with flare $on"
check "flare 100 brightens the picture clearly" awk -v a="$off" -v b="$on" 'BEGIN { exit !(b > a + 0.01) }'

# Before any burst there is nothing to flare: both settings give the same picture.
shot 0 100 "$E2E_TMP/off-early.png"
shot 100 100 "$E2E_TMP/on-early.png"
diff=$(compare -metric AE "$E2E_TMP/off-early.png" "$E2E_TMP/on-early.png" null: 2>&1 || true)
check_eq "no flash, no flare" 0 "$diff"
finish
