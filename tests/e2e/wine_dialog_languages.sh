#!/usr/bin/env bash
# The settings dialog in Japanese and in English (LANG) at 96, 120, 144 and 192 DPI: each caption's
# ink inside its place and none outside the places, the dialog wholly on a small screen (shrunk
# where it must be), the English captions read back by text recognition, and the keyboard: Tab
# and Space change an option group, the arrows the sound bar, Escape closes like Cancel.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb 1280x720x24
use_wine
scr=$(win_exe Varenko.scr)
info=$(win_exe tests/window_info.exe)
probe=$(win_exe tests/dialog_layout_probe.exe)

DESKTOP_KEY='HKCU\Control Panel\Desktop'
set_dpi() {
  wineserver -w
  wine reg add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}
unscale() { wine reg delete "$DESKTOP_KEY" /v LogPixels /f >/dev/null 2>&1 || true; wineserver -w; }
trap 'unscale; e2e_cleanup' EXIT

# open_dialog: starts `/c` and finds the client area's size (w x h) and screen origin (ox, oy).
open_dialog() {
  scrpid=$(wine_start "$scr" /c)
  wait_until 60 window_exists Varenko || { fail "no dialog window"; return 1; }
  sleep 1.5  # the opening zoom and the first paint
  local out
  out=$(wine_run 30 "$info" Varenko)
  read -r w h < <(sed -n 's/^client=//p' <<<"$out" | tr 'x' ' ')
  read -r ox oy < <(sed -n 's/^origin=//p' <<<"$out" | tr ',' ' ')
}
scr_gone() { ! kill -0 "$scrpid" 2>/dev/null; }
close_dialog() {
  wine_run 30 "$(win_exe tests/frontend_probe.exe)" close Varenko >/dev/null || true
  wait_until 20 scr_gone
}

# measure LANG NAME: the client area's grey levels and the probe's places; prints the measures
# "missing=<captions without ink> outside=<ink pixels outside every place> gap=<smallest gap in
# pixels between a caption's ink and its neighbour on the same row>".
measure() {
  local shot="$E2E_TMP/$2.png"
  screenshot "$shot"
  convert "$shot" -crop "${w}x${h}+$ox+$oy" +repage -colorspace Gray -depth 8 "$E2E_TMP/$2.pgm"
  wine_run 30 "$probe" "$w" "$h" >"$E2E_TMP/$2.txt"
  python3 - "$E2E_TMP/$2.pgm" "$E2E_TMP/$2.txt" <<'PY'
import sys
_, size, _, px = open(sys.argv[1], 'rb').read().split(b'\n', 3)
w, h = map(int, size.split())
places = [(k, n, *map(int, r)) for k, n, *r in (l.split() for l in open(sys.argv[2])) if r]
dark = lambda p: p <= 20     # black text; the panels' shading is 30 or brighter
bright = lambda p: p >= 200  # the white credit on the dark foot of the dialog
def box(test, l, t, r, b):
    pts = [(x, y) for y in range(t, b) for x in range(l, r) if test(px[y * w + x])]
    return pts and (min(p[0] for p in pts), min(p[1] for p in pts),
                    max(p[0] for p in pts) + 1, max(p[1] for p in pts) + 1)
inks = [(n, k, box(bright if n == 'credit' else dark, l, t, r, b))
        for k, n, l, t, r, b in places if k in ('label', 'number')]
missing = [n for n, k, ink in inks if not ink]
allowed = bytearray(w * h)
for k, n, l, t, r, b in places:
    for y in range(t, b * (k != 'panel')):
        allowed[y * w + l:y * w + r] = b'\x01' * (r - l)
outside = sum(1 for k, n, l, t, r, b in places if k == 'panel' for y in range(t, b)
              for x in range(l, r) if dark(px[y * w + x]) and not allowed[y * w + x])
# Neighbours on overlapping rows: the other captions' ink and the controls (the frame around
# the music title holds it and is no neighbour).
inks = [(n, ink) for n, k, ink in inks if ink and k == 'label' and n != 'credit']
others = inks + [(n, tuple(r)) for k, n, *r in places if k in ('control', 'button')]
gap = min(l2 - r if l2 >= r else l - r2 if l >= r2 else -1 for n, (l, t, r, b) in inks
          for m, (l2, t2, r2, b2) in others if m != n and t2 < b and t < b2)
print('missing=%s outside=%d gap=%d' % (','.join(missing) or '-', outside, gap))
PY
}

# The English captions by place ("(s)" left out: recognition reads it as "(5)").
declare -A caption=([lbl0]="Fireworks at once" [lbl1]="Smoke lasts" [lbl2]=Wind
  [lbl3]="Ambient light" [lbl4]=Stars [lbl5]="Lens flare" [lbl6]=Weather [lbl8]="Lit smoke"
  [cloud0]=Clear [cloud1]=Cloudy [illu0]=Off [illu1]=On [lbl15]=Music [bgm0]=None
  [bgm1]="Audio CD" [bgm2]="MP3 or WAV" [lbl14]="Repeat track" [sound]="Sound effects"
  [Cmd_Etc]=About [Cmd_Init]=Defaults [Cmd_Set]=OK [Cmd_Can]=Cancel)
letters() { tr -cd 'A-Za-z\n' | tr 'A-Z\n' 'a-z '; }
# reads SHOT LEFT TOP RIGHT BOTTOM CAPTION: text recognition finds the caption in that place of
# the screen, as a line, as a line with stronger contrast, or as a word; prints what it read.
reads() {
  local want got="" try
  want=$(letters <<<"$6" | tr -d ' ')
  convert "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage -colorspace Gray -resize 400% \
    "$E2E_TMP/ocr.png"
  convert "$E2E_TMP/ocr.png" -level 20%,80% "$E2E_TMP/ocr-level.png"
  for try in "ocr.png 7" "ocr-level.png 7" "ocr-level.png 8"; do
    set -- $try
    got+=$(tesseract "$E2E_TMP/$1" - --psm "$2" 2>/dev/null | letters)
    [[ "$got" == *"$want"* ]] && return 0
  done
  echo "$got"
  return 1
}

# --- every language and DPI ---------------------------------------------------------------------
# A chosen music file far down a long path: its label shows the file name on one line.
song="$E2E_TMP/$(printf 'a folder with a rather long name %s/' 1 2 3 4)Finale.mp3"
mkdir -p "$(dirname "$song")"
: >"$song"
reg_delete_key
reg_set 08 2
reg_set 10 "Z:${song//\//\\}"
for dpi in 96 120 144 192; do
  if [[ $dpi == 192 ]]; then start_xvfb 1366x768x24; fi
  read -r sw sh < <(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*\)x\([0-9]*\).*/\1 \2/p')
  set_dpi "$dpi"
  for lang in ja en; do
    use_language "$lang"
    open_dialog || continue
    m=$(measure "$lang" "$lang$dpi")
    echo "measure: $lang at $dpi DPI on ${sw}x$sh: dialog ${w}x$h at $ox,$oy, $m"
    check "$lang $dpi: every caption has ink ($m)" grep -q 'missing=-' <<<"$m"
    check "$lang $dpi: no ink outside the places ($m)" grep -q 'outside=0 ' <<<"$m"
    check "$lang $dpi: no caption touches its neighbour ($m)" \
      awk -v m="$m" 'BEGIN{sub(/.*gap=/, "", m); exit !(m + 0 >= 2)}'
    check "$lang $dpi: the dialog lies on the screen" \
      test "$ox" -ge 0 -a "$oy" -ge 0 -a $((ox + w)) -le "$sw" -a $((oy + h)) -le "$sh"
    if [[ $lang == en && $dpi -le 144 ]]; then
      unread=""
      while read -r kind name l t r b; do
        [[ -n "${caption[$name]:-}" ]] || continue
        inset=$([[ $kind == button ]] && echo $((dpi / 24)) || echo -4)
        got=$(reads "$E2E_TMP/en$dpi.png" $((ox + l + inset)) $((oy + t + inset)) \
          $((ox + r - inset)) $((oy + b - inset)) "${caption[$name]}") ||
          unread+="[${caption[$name]}: $got] "
      done <"$E2E_TMP/en$dpi.txt"
      check_eq "en $dpi: the English captions are read back" "" "$unread"
      # The file's label: its name read in the upper half, no ink in the lower half.
      read -r l t r b < <(awk -v x="$ox" -v y="$oy" \
        '$2 == "fname" {print $3 + x, $4 + y, $5 + x, $6 + y}' "$E2E_TMP/en$dpi.txt")
      m=$((b - (b - t) / 2))
      check "en $dpi: the music file's label shows its name" \
        reads "$E2E_TMP/en$dpi.png" "$l" "$t" "$r" "$m" "Finale.mp3"
      check_eq "en $dpi: the music file's label is one line" 0 "$(convert "$E2E_TMP/en$dpi.png" \
        -crop "$((r - l))x$((b - m))+$l+$m" -colorspace Gray -threshold 8% -format \
        '%[fx:round((1 - mean) * w * h)]' info:)"
    fi
    close_dialog
  done
done

# --- 144 DPI on 1280 x 720: the keyboard, then "OK" clicked where it shows ---------------------
start_xvfb 1280x720x24
set_dpi 144
use_language en
reg_delete_key
open_dialog
xdotool key Escape
check "Escape closes the dialog" wait_until 20 scr_gone
check_eq "Escape writes nothing but the defaults" "00 01 02 03 04 05 06 07 11" "$(reg_names | xargs)"

open_dialog
# From bar 0: six Tabs to the weather pair, Space; the illumination pair, Left; the music group,
# Down (none to the file); past the disabled track box to the sound bar, Right three times.
for key in Tab Tab Tab Tab Tab Tab space Tab Left Tab Down Tab Right Right Right; do
  xdotool key "$key"
  sleep 0.2
done
read -r l t r b < <(wine_run 30 "$probe" "$w" "$h" | awk '$2 == "Cmd_Set" {print $3, $4, $5, $6}')
check "OK lies wholly on the screen" test $((oy + b)) -le 720 -a $((ox + r)) -le 1280
xdotool mousemove $((ox + (l + r) / 2)) $((oy + (t + b) / 2))
sleep 0.3
xdotool click 1
check "OK clicked at 144 DPI closes the dialog" wait_until 20 scr_gone
check_eq "the keys chose clear, off, the file, sound 3" "0 0 2 3" \
  "$(reg_get 06) $(reg_get 07) $(reg_get 08) $(reg_get 11)"

reg_delete_key
finish
