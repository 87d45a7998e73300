#!/usr/bin/env bash
# Preview mode under Wine: `/p HWND` of a window made by a test program puts the preview window
# inside it as a visible child at the window's full size, holding our still picture; the front
# end ends soon after that window is destroyed; a handle that is no window ends at once.
#
# Wine 8 draws no child window whose parent belongs to another process (the screen keeps the
# parent's pixels), so the picture is checked in the program's resources and the window by its
# place, size and style, not by a screenshot.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine
scr=$(win_exe Varenko.scr)
host=$(win_exe tests/preview_host.exe)

# The picture: 152 x 112, a dark night sky with lit bursts in it.
out=$(wine_run 60 "$host" --picture "$(winepath -w "$scr")")
field() { sed -n "s/^$1=//p" <<<"$out"; }
check_eq "the preview picture is 152 x 112" 152x112 "$(field picture)"
check "the picture has bright bursts ($(field lit) lit)" \
  awk "BEGIN{exit !($(field lit) > 0.01 && $(field lit) < 0.5)}"
check "the picture is mostly night sky ($(field dark) dark)" \
  awk "BEGIN{exit !($(field dark) > 0.5)}"

# A handle that is not a window: nothing to show in, the front end ends at once.
timeout 60 wine "$scr" /p 12345 >>"$E2E_TMP/wine.log" 2>&1
check "a handle that is no window ends the preview" test $? -eq 0

# A preview area of 200 x 150 pixels.
trigger="$E2E_TMP/close-host"
hostout="$E2E_TMP/host.out"
wine "$host" 200 150 "$(winepath -w "$trigger")" >"$hostout" 2>>"$E2E_TMP/wine.log" &
E2E_PIDS+=("$!")
wait_until 60 grep -q '^hwnd=' "$hostout" || fail "the preview host did not start"
handle=$(sed -n 's/^hwnd=//p' "$hostout" | tr -d '\r')
scrpid=$(wine_start "$scr" /p "$handle")
# Give the front end time to start and place its window, then let the host look and close.
sleep 8
: >"$trigger"
wait_until 30 grep -q '^destroyed' "$hostout" || fail "the preview host did not close"
out=$(tr -d '\r' <"$hostout")
check_eq "the preview window fills the area from its corner" "200x150+0+0" "$(field child)"
check_eq "it is the preview window" Tamsel_R "$(field class)"
check_eq "it is shown" 1 "$(field visible)"
check_eq "it is a child window" 1 "$(field wschild)"
check_eq "its parent is the area" 1 "$(field parent)"

# The front end's process ends within a second of its area's destruction, counted from the
# area's WM_DESTROY (Wine without a window manager spends about 2 s in DestroyWindow before it,
# child or no child) to the end of the process as Windows sees it.
echo "host: DestroyWindow of the area took $(field destroy_ms) ms"
ended=$(field ended_ms)
check "the front end ends within a second of its area ($ended ms)" \
  awk "BEGIN{exit !(\"$ended\" != \"never\" && $ended + 0 <= 1000)}"
scr_gone() { ! kill -0 "$scrpid" 2>/dev/null; }
check "its Wine process is gone too" wait_until 20 scr_gone
finish
