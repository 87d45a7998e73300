#!/usr/bin/env bash
# The front end's modes under Wine in a fresh store: the default-settings step of an unknown
# switch, the missing-renderer message for configure and run but not for preview, and the busy
# test against a run in progress. A small stand-in renderer (a plain "VarenkoVC" window) keeps
# these checks free of OpenGL.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine

probe=$(win_exe tests/frontend_probe.exe)
find_title() { wine_run 30 "$probe" find "$1"; }

# A folder with the front end and, unless told otherwise, a renderer beside it.
with_renderer="$E2E_TMP/with"
without_renderer="$E2E_TMP/without"
mkdir -p "$with_renderer" "$without_renderer"
cp "$(win_exe Varenko.scr)" "$with_renderer/"
cp "$(win_exe tests/frontend_fake_renderer.exe)" "$with_renderer/Varenko.dll"
cp "$(win_exe Varenko.scr)" "$without_renderer/"

# --- an unknown switch: defaults written, nothing shown -------------------------------------------
reg_delete_key
wine_run 60 "$with_renderer/Varenko.scr" /a >/dev/null
check_eq "/a writes exactly 00 to 07 and 11" "00 01 02 03 04 05 06 07 11" \
  "$(reg_names | tr '\n' ' ' | sed 's/ $//')"
values=""
for n in 00 01 02 03 04 05 06 07 11; do values+="$(reg_get $n) "; done
check_eq "/a writes the defaults" "10 5 20 10 20 20 1 1 0 " "$values"

# Present values are left as they are, empty ones get their default.
reg_set 00 abc
reg_set 03 ""
wine_run 60 "$with_renderer/Varenko.scr" /a >/dev/null
check_eq "letters are not rewritten" abc "$(reg_get 00)"
check_eq "an empty value gets its default" 10 "$(reg_get 03)"

# --- the renderer missing --------------------------------------------------------------------------
box="Varenko (ScreenSaver)"
for sw in /c /s; do
  reg_delete_key
  pid=$(wine_start "$without_renderer/Varenko.scr" $sw)
  check "$sw without the renderer shows the message" wait_until 30 \
    bash -c "[[ \$(wine $probe find '$box' 2>/dev/null | tr -d '\r') == 1 ]]"
  check_eq "$sw without the renderer opens no dialog" 0 "$(find_title Varenko)"
  check_eq "$sw without the renderer starts no run" 0 "$(find_title Tamsel_Main)"
  check_eq "$sw still wrote the defaults first" 10 "$(reg_get 00)"
  wine_run 30 "$probe" close "$box" >/dev/null || true
  check "$sw ends once the message is dismissed" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
done

reg_delete_key
pid=$(wine_start "$without_renderer/Varenko.scr" /p 0)
check "/p 0 ends without the renderer" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
check_eq "/p 0 shows no message" 0 "$(find_title "$box")"
check_eq "/p writes no settings" "" "$(reg_names)"

# --- busy: a run in progress turns every second start away ----------------------------------------
reg_delete_key
run_pid=$(wine_start "$with_renderer/Varenko.scr" /s)
check "/s loads the run window" wait_until 30 \
  bash -c "[[ \$(wine $probe find Tamsel_Main 2>/dev/null | tr -d '\r') == 1 ]]"
check "/s starts the renderer" wait_until 30 window_exists VarenkoVC
start=$SECONDS
wine_run 30 "$with_renderer/Varenko.scr" /s >/dev/null
check "a second /s ends at once" test $((SECONDS - start)) -lt 10
check_eq "only one renderer runs" 1 "$(find_window VarenkoVC | wc -l)"
wine_run 30 "$with_renderer/Varenko.scr" /c >/dev/null
check_eq "/c during a run opens no dialog" 0 "$(find_title Varenko)"

# A click closes the renderer; the run follows it.
id=$(find_window VarenkoVC | head -n1)
[[ -n "$id" ]] && xdotool mousemove --window "$id" 20 20 click 1
check "the renderer closes on input" wait_until 30 window_gone VarenkoVC
gone=$SECONDS
check "the run window follows" wait_until 30 \
  bash -c "[[ \$(wine $probe find Tamsel_Main 2>/dev/null | tr -d '\r') == 0 ]]"
check "the front end has ended" wait_until 30 bash -c "! kill -0 $run_pid 2>/dev/null"
check "within a couple of seconds of the renderer" test $((SECONDS - gone)) -le 3

# A renderer file that is no program: the run has no renderer window and ends at its first look.
broken="$E2E_TMP/broken"
mkdir -p "$broken"
cp "$(win_exe Varenko.scr)" "$broken/"
echo "not a program" >"$broken/Varenko.dll"
pid=$(wine_start "$broken/Varenko.scr" /s)
check "a renderer that cannot start ends the run" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"
check_eq "and shows no message" 0 "$(find_title "$box")"

reg_delete_key
finish
