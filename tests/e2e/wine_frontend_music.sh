#!/usr/bin/env bash
# Saver runs with each music source under Wine. Wine here has no CD drive and no sound card, so
# these runs show that a source the machine cannot play still gives a complete run: the run window
# comes up, the renderer starts, and the front end ends after the renderer's window has gone (also
# when the renderer is killed). A plain "VarenkoVC" window stands in for the renderer.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine

probe=$(win_exe tests/frontend_probe.exe)
field() { sed -n "s/^$1=//p" <<<"$out"; }
run_window() { [[ $(wine_run 30 "$probe" find Tamsel_Main) == "$1" ]]; }

dir="$E2E_TMP/saver"
mkdir -p "$dir"
cp "$(win_exe Varenko.scr)" "$dir/"
cp "$(win_exe tests/frontend_fake_renderer.exe)" "$dir/Varenko.dll"

# A valid, silent WAV file: 8 kHz, 8 bits, mono, 0.1 s.
wav="$E2E_TMP/Quiet.Wav"
{
  printf 'RIFF'; printf '\x44\x03\x00\x00'; printf 'WAVEfmt '
  printf '\x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00'
  printf 'data'; printf '\x20\x03\x00\x00'; head -c 800 /dev/zero | tr '\0' '\200'
} >"$wav"
mp3="$E2E_TMP/not really.mp3"
printf 'no frames here' >"$mp3"

# run_once NAME: one saver run to its end, closed by a click on the renderer.
run_once() {
  local name=$1 pid id
  pid=$(wine_start "$dir/Varenko.scr" /s)
  check "$name: the run window is up" wait_until 30 run_window 1
  check "$name: the renderer is up" wait_until 30 window_exists VarenkoVC
  sleep 1  # a few watcher ticks with the music going
  check_eq "$name: the run goes on while the renderer does" 1 "$(wine_run 30 "$probe" find Tamsel_Main)"
  id=$(find_window VarenkoVC | head -n1)
  [[ -n "$id" ]] && xdotool mousemove --window "$id" 30 30 click 1
  check "$name: the renderer closes" wait_until 30 window_gone VarenkoVC
  check "$name: the front end ends" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
  check "$name: no run window is left" run_window 0
}

# A file source whose file has been deleted falls back to no music; the store keeps the choice.
reg_delete_key
gone="$E2E_TMP/deleted.mp3"
: >"$gone"
reg_set 08 2
reg_set 10 "$(winepath -w "$gone")"
rm "$gone"
out=$(wine_run 60 "$probe" load)
check_eq "deleted file: no music this run" 0 "$(field BgmMode)"
check_eq "deleted file: no file this run" "" "$(field BgmFile)"
run_once "deleted file"
check_eq "deleted file: the store keeps the source" 2 "$(reg_get 08)"

# An existing file is kept, found by its ending whatever its case.
reg_set 10 "$(winepath -w "$wav")"
out=$(wine_run 60 "$probe" load)
check_eq "WAV file: file source kept" 2 "$(field BgmMode)"
run_once "WAV without a sound device"

reg_set 10 "$(winepath -w "$mp3")"
run_once "MP3 that does not open"

# A renderer killed (TerminateProcess): within a second, timed by Wine's trace stamps against the
# GetTickCount the probe prints, the front end stops the music and shows the cursor again.
log="$E2E_TMP/wine.log" && : >"$log"
pid=$(WINEDEBUG=+timestamp,trace+mci,trace+cursor wine_start "$dir/Varenko.scr" /s)
check "killed renderer: it was up" wait_until 30 window_exists VarenkoVC
sleep 1
killed=$(wine_run 30 "$probe" kill VarenkoVC)
check "killed renderer: the front end ends" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
shown=$(grep -m1 'NtUserShowCursor 1, count=0' "$log" | sed -n 's/^ *\([0-9]*\)\.\([0-9]*\):.*/\1\2/p')
took=$((10#${shown:-99999999} - ${killed:-0}))
check "killed renderer: cursor shown again within a second ($took ms)" test "$took" -le 1000
check "killed renderer: it had been hidden" grep -q 'NtUserShowCursor 0, count=-1' "$log"
check "killed renderer: music stopped and closed" grep -Pzq 'stop MP3Play(.|\n)*close MP3Play' "$log"

reg_set 08 1
reg_set 09 2
run_once "audio CD without a drive"

reg_delete_key
finish
