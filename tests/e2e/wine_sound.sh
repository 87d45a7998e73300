#!/usr/bin/env bash
# Varenko.dll's sound under Wine: with "11" set, the show is heard through Wine's PulseAudio
# driver on a private server's null sink; with no server it runs silent and closes normally.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
source "$VARENKO_SOURCE/tools/e2e/pulse.sh"
start_xvfb 640x480x24
use_wine
renderer=$(win_exe Varenko.dll)
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d pulse /f >/dev/null 2>&1
reg_delete_key
reg_set 11 100

# run_renderer SECONDS: the saver for about that long, then closed by a mouse move; sets rc.
run_renderer() {
  xdotool mousemove 320 240
  wine "$renderer" >>"$E2E_TMP/renderer.log" 2>&1 &
  local pid=$!
  E2E_PIDS+=("$pid")
  wait_until 90 window_exists VarenkoVC || fail "the saver's window appears"
  sleep "$1"
  xdotool mousemove_relative -- 1 1
  sleep 0.3
  xdotool mousemove_relative -- 10 10
  wait_until 30 window_gone VarenkoVC || fail "the saver closes on a mouse move"
  rc=0
  timeout 30 tail --pid="$pid" -f /dev/null || true
  wait "$pid" || rc=$?
}

export PULSE_SERVER="unix:$E2E_TMP/no-server"
wineserver -k >/dev/null 2>&1 || true
run_renderer 4
check_eq "no server: the saver runs and exits 0" 0 "$rc"

start_pulse
wineserver -k >/dev/null 2>&1 || true  # Wine's audio driver reads PULSE_SERVER when it starts
record_monitor "$E2E_TMP/heard.raw"
run_renderer 14
stop_monitor
check_eq "into PulseAudio: exit 0" 0 "$rc"
loud=$(loudest_second "$E2E_TMP/heard.raw")
check "the show is heard through Wine's audio driver ($loud RMS)" test "$loud" -gt 50
finish
