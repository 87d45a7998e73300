#!/usr/bin/env bash
# A whole saver run under Wine with the real renderer: "/s" brings up the hidden run window and the
# renderer's "VarenkoVC" window; a key press closes the renderer and the front end follows it. A
# front end killed during a run leaves the renderer to run on until input.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine

probe=$(win_exe tests/frontend_probe.exe)
run_window() { [[ $(wine_run 30 "$probe" find Tamsel_Main) == "$1" ]]; }

dir="$E2E_TMP/saver"
mkdir -p "$dir"
cp "$(win_exe Varenko.scr)" "$(win_exe Varenko.dll)" "$dir/"
# Processes whose command line names our private folder: the front end and its renderer.
ours() { pgrep -f "$(basename "$E2E_TMP")" >/dev/null; }
none_ours() { ! ours; }

reg_delete_key
pid=$(wine_start "$dir/Varenko.scr" /s)
check "the run window is up" wait_until 60 run_window 1
check "the renderer's window is up" wait_until 60 window_exists VarenkoVC
check_eq "the renderer was found by its title, not started twice" 1 "$(find_window VarenkoVC | wc -l)"
sleep 2  # let it draw a while
check "the run is still going" run_window 1
check "front end and renderer are running" ours

id=$(find_window VarenkoVC | head -n1)
xdotool windowfocus --sync "$id" 2>/dev/null || true
pressed=$SECONDS
xdotool key space
check "the key closes the renderer" wait_until 30 window_gone VarenkoVC
closed=$SECONDS
check "the run window follows" wait_until 30 run_window 0
check "the front end ends" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
check "both processes have ended" wait_until 30 none_ours
echo "key to renderer window gone: $((closed - pressed)) s; to the end of the run: $((SECONDS - pressed)) s"
# Wine spends about two seconds destroying a GL window; the front end itself follows within a tick.
check "the run ends soon after the renderer's window" test $((SECONDS - closed)) -le 3

# A front end killed (TerminateProcess) leaves the renderer running until input, then exit code 0.
reg_set 00 0  # no shells: the renderer need only run
pid=$(wine_start "$dir/Varenko.scr" /s)
check "killed front end: the renderer was up" wait_until 60 window_exists VarenkoVC
check "killed front end: it is killed" wine_run 30 "$probe" kill Tamsel_Main
check "killed front end: it has ended" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
wine_run 60 "$probe" wait VarenkoVC >"$E2E_TMP/exit-code" & waiter=$!
sleep 3  # the renderer runs on, and the waiting probe has found it
check "killed front end: the renderer runs on" window_exists VarenkoVC
xdotool windowfocus --sync "$(find_window VarenkoVC | head -n1)" 2>/dev/null || true
xdotool key space
check "killed front end: input still closes the renderer" wait_until 30 window_gone VarenkoVC
wait "$waiter"
check_eq "killed front end: the renderer exits with code 0" 0 "$(cat "$E2E_TMP/exit-code")"

reg_delete_key
finish
