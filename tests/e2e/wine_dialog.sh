#!/usr/bin/env bash
# The settings dialog under Wine: `/c` opens "Varenko" at its client size with the shaded
# backdrop; a scroll bar moves its number; clicks at the laid-out positions of the option marks,
# the music choice and the buttons; "設定" writes every key and ends the front end, "ｷｬﾝｾﾙ"
# writes nothing.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine
use_language ja
scr=$(win_exe Varenko.scr)
info=$(win_exe tests/window_info.exe)

# Screen position of the dialog's client area, found when it opens.
ox=0
oy=0
open_dialog() {
  scrpid=$(wine_start "$scr" /c)
  wait_until 60 window_exists Varenko || { fail "no dialog window"; return 1; }
  sleep 1  # the opening zoom and the first paint
  local out
  out=$(wine_run 30 "$info" Varenko)
  client=$(sed -n 's/^client=//p' <<<"$out")
  read -r ox oy < <(sed -n 's/^origin=//p' <<<"$out" | tr ',' ' ')
}
# click_at X Y: a click at a point of the client area (pixels at 96 DPI = twips / 15), with the
# cursor brought there first, as a hand would.
click_at() {
  xdotool mousemove $((ox + $1)) $((oy + $2))
  sleep 0.3
  xdotool click 1
  sleep 0.5
}
scr_gone() { ! kill -0 "$scrpid" 2>/dev/null; }
# grey X Y: brightness 0..1 of one screen pixel of the client area.
grey() {
  convert "$shot" -crop "1x1+$((ox + $1))+$((oy + $2))" +repage -colorspace Gray \
    -format '%[fx:mean]' info:
}
crop() { convert "$shot" -crop "$1" +repage "$2"; }
# darkest X Y: the darkest pixel (0..1) of the 12 x 12 option mark whose image lies at X, Y.
darkest() {
  convert "$shot" -crop "12x12+$((ox + $1))+$((oy + $2))" +repage -colorspace Gray \
    -format '%[fx:minima]' info:
}

# --- A fresh store: open, look, move a bar, pick options, save --------------------------------
reg_delete_key
open_dialog
check_eq "the dialog's client area is 7200 x 7605 twips" 480x507 "$client"

shot="$E2E_TMP/dialog.png"
screenshot "$shot"
# Left margin of the dialog (outside both panels): dark at the top and bottom, bright between.
top=$(grey 5 1)
middle=$(grey 5 253)
bottom=$(grey 5 505)
check "backdrop dark at the top ($top)" awk "BEGIN{exit !($top < 0.15)}"
check "backdrop bright in the middle ($middle)" awk "BEGIN{exit !($middle > 0.7)}"
check "backdrop dark at the bottom ($bottom)" awk "BEGIN{exit !($bottom < 0.15)}"
# The empty mark of "星空" (`Img_Cloud` 0 at 3060, 2760) shows its dark border.
mark=$(darkest 218 198)
check "weather 1 shows the empty mark of 星空 ($mark)" awk "BEGIN{exit !($mark < 0.4)}"

# `HS` 0 lies at 3060, 540 in the upper panel (whose inside starts 2 pixels into 180, 180);
# its right arrow is the last 17 pixels. `lbl_HS` 0 is at 4620, 600.
number="30x16+$((ox + 320))+$((oy + 53))"
crop "$number" "$E2E_TMP/n0.png"
click_at 307 58
shot="$E2E_TMP/after1.png"
screenshot "$shot"
crop "$number" "$E2E_TMP/n1.png"
check "the number beside the bar changes with it" \
  test "$(compare -metric AE "$E2E_TMP/n0.png" "$E2E_TMP/n1.png" null: 2>&1)" != 0
click_at 307 58
click_at 226 58  # left arrow: 10 + 1 + 1 - 1 = 11
# Back at 11 the number looks as it did at 11.
shot="$E2E_TMP/after3.png"
screenshot "$shot"
crop "$number" "$E2E_TMP/n3.png"
check_eq "the number follows the bar back" 0 \
  "$(compare -metric AE "$E2E_TMP/n1.png" "$E2E_TMP/n3.png" null: 2>&1)"

click_at 236 198  # "星空" (`lbl_Cloud` 0 at 3300, 2760)
click_at 60 336   # "音楽CD" (`lbl_BGM` 1 at 540, 840 in the lower panel at 180, 4080)
# The track box is enabled now; type a track into it (`BGM_Repeat` at 1380, 780).
click_at 120 336
xdotool key ctrl+a
xdotool type --delay 50 "2.5"
sleep 0.3
click_at 328 464  # "設定" (`Cmd_Set` at 4260, 6780, 1335 x 375)
check "設定 ends the front end" wait_until 20 scr_gone
check_eq "設定 writes every key" "00 01 02 03 04 05 06 07 08 09 10 11" "$(reg_names | xargs)"
check_eq "bar 0 as moved" 11 "$(reg_get 00)"
check_eq "bars 1 to 5 as loaded" "5 20 10 20 20" \
  "$(reg_get 01) $(reg_get 02) $(reg_get 03) $(reg_get 04) $(reg_get 05)"
check_eq "weather: starry sky" 0 "$(reg_get 06)"
check_eq "illumination as loaded" 1 "$(reg_get 07)"
check_eq "music source: CD" 1 "$(reg_get 08)"
check_eq "track 2.5 rounds to the even 2" 2 "$(reg_get 09)"
check_eq "no file" "" "$(reg_get 10)"

# --- Out-of-range values come back in range; reset keeps the file path ------------------------
reg_delete_key
for k in 00 01 02 03 04 06 07; do reg_set $k 7; done
reg_set 05 250
reg_set 08 0
reg_set 09 45
reg_set 10 'C:\windows\win.ini'
open_dialog
# Weather and illumination 7: no picture in any of the four option images, only the shading.
shot="$E2E_TMP/out_of_range.png"
screenshot "$shot"
marks="$(darkest 218 198) $(darkest 278 198) $(darkest 218 222) $(darkest 278 222)"
check "a pair outside 0 and 1 shows no marks ($marks)" \
  awk "BEGIN{split(\"$marks\", m, \" \"); for (i in m) if (m[i] < 0.4) exit 1}"
click_at 253 464  # "初期設定" (`Cmd_Init` at 2880, 6780)
click_at 328 464
check "設定 after 初期設定 ends the front end" wait_until 20 scr_gone
check_eq "the defaults are written" "10 5 20 10 20 20 1 1 0" \
  "$(for k in 00 01 02 03 04 05 06 07 08; do reg_get $k; done | xargs)"
check_eq "the track beyond the list is kept" 45 "$(reg_get 09)"
check_eq "the file path survives the reset" 'C:\windows\win.ini' "$(reg_get 10)"

# Past a bar's range (and past 16 bits) the bar shows the range's end, as the renderer uses it.
reg_delete_key
reg_set 05 250
reg_set 04 99999999999
open_dialog
click_at 328 464
check "設定 ends the front end" wait_until 20 scr_gone
check_eq "stored 250 and 99999999999 are saved as the bars' ends" "100 100" \
  "$(reg_get 05) $(reg_get 04)"

# --- Cancel writes nothing -------------------------------------------------------------------
reg_delete_key
for k in 00 01 02 03 04 05 06 07 11; do reg_set $k 3; done
before=$(wine reg query "$VARENKO_KEY" 2>/dev/null | tr -d '\r')
open_dialog
click_at 307 58
click_at 236 198
click_at 420 464  # "ｷｬﾝｾﾙ" (`Cmd_Can` at 5640, 6780)
check "ｷｬﾝｾﾙ ends the front end" wait_until 20 scr_gone
check_eq "ｷｬﾝｾﾙ writes nothing" "$before" "$(wine reg query "$VARENKO_KEY" 2>/dev/null | tr -d '\r')"

# --- A scaled desktop: the dialog keeps its physical size ---------------------------------------
# At 120 DPI (125 %) 7200 x 7605 twips are 600 x 634 pixels. The setting is the Wine prefix's, so
# it goes back to the default however the check ends.
DESKTOP_KEY='HKCU\Control Panel\Desktop'
unscale() { wine reg delete "$DESKTOP_KEY" /v LogPixels /f >/dev/null 2>&1 || true; wineserver -w; }
trap 'unscale; e2e_cleanup' EXIT
wineserver -w
wine reg add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1
wineserver -w
open_dialog
check_eq "at 120 DPI the client area is 600 x 634 pixels" 600x634 "$client"
wine_run 30 "$(win_exe tests/frontend_probe.exe)" close Varenko >/dev/null || true
check "the scaled dialog closes" wait_until 20 scr_gone

reg_delete_key
finish
