#!/usr/bin/env bash
# A partner process that dies during a saver run, under Wine. The renderer ended by
# TerminateProcess: the front end ends within a second, stops its music and shows the cursor
# again (seen in Wine's traces of the MCI commands and of ShowCursor). The front end ended the same
# way: the real renderer goes on drawing until input, then exits with code 0.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine

probe=$(win_exe tests/frontend_probe.exe)
dir="$E2E_TMP/saver"
mkdir -p "$dir"
cp "$(win_exe Varenko.scr)" "$dir/"

# --- the renderer dies: a stand-in renderer, music from an MP3 file ---------------------------
cp "$(win_exe tests/frontend_fake_renderer.exe)" "$dir/Varenko.dll"
mp3="$E2E_TMP/tune.mp3"
printf 'no frames here' >"$mp3"
reg_delete_key
reg_set 08 2
reg_set 10 "$(winepath -w "$mp3")"
log="$E2E_TMP/wine.log"
: >"$log"
pid=$(WINEDEBUG=+timestamp,trace+mci,trace+cursor wine_start "$dir/Varenko.scr" /s)
check "the renderer is up" wait_until 60 window_exists VarenkoVC
sleep 1
killed=$(wine_run 30 "$probe" kill VarenkoVC)
check "the renderer was killed" test -n "$killed"
check "the front end ends" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
# Wine stamps its trace lines with GetTickCount, the clock the killing probe read: the front end's
# last act, showing the cursor, is timed from the kill. (Wine then takes about a second more to
# tear the process down, as it does for any process.)
stamp() { grep -m1 "$1" "$log" | sed -n 's/^ *\([0-9]*\)\.\([0-9]*\):.*/\1\2/p'; }
shown=$(stamp 'NtUserShowCursor 1, count=0')
took=$((10#${shown:-99999999} - ${killed:-0}))
check "the front end is done within a second of the kill ($took ms)" test "$took" -le 1000
check "the music was stopped" grep -q 'stop MP3Play' "$log"
check "and closed" grep -q 'close MP3Play' "$log"
# The run hid the cursor at its start (count -1) and shows it again at its end (count 0).
check "the cursor was hidden" grep -q 'NtUserShowCursor 0, count=-1' "$log"
check "and is shown again" test -n "$shown"

# --- the front end dies: the real renderer --------------------------------------------------
cp "$(win_exe Varenko.dll)" "$dir/"
reg_delete_key
reg_set 00 0  # no shells: the renderer only needs to run, not to be busy
pid=$(wine_start "$dir/Varenko.scr" /s)
check "the renderer's window is up" wait_until 60 window_exists VarenkoVC
check "the front end is killed" test -n "$(wine_run 30 "$probe" kill Tamsel_Main)"
check "the front end has ended" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
sleep 2
check "the renderer goes on without it" window_exists VarenkoVC
code="$E2E_TMP/renderer-exit"
wine_run 60 "$probe" wait VarenkoVC >"$code" &
waiter=$!
sleep 3  # the waiting probe has found the renderer
id=$(find_window VarenkoVC | head -n1)
xdotool windowfocus --sync "$id" 2>/dev/null || true
xdotool key space
check "input still closes the renderer" wait_until 30 window_gone VarenkoVC
wait "$waiter"
check_eq "the renderer exits with code 0" 0 "$(cat "$code")"

reg_delete_key
finish
