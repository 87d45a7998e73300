#!/usr/bin/env bash
# The Linux renderer's sound: --record-audio's WAV file (its length, the same bytes for the same
# seed, silence at volume 0, no clipped sample in a forced finale), and real output into a private
# PulseAudio server's null sink, heard on its monitor; a preview, a missing server and a server
# that goes away mid-show leave the show running silent, with at most one line.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
source "$VARENKO_SOURCE/tools/e2e/pulse.sh"
prog="$VARENKO_LINUX_BUILD/varenko"

out=$("$prog" --record-audio "$E2E_TMP/a.wav" --frames 3 2>&1) && rc=0 || rc=$?
check_eq "--record-audio without --fixed-dt: exit 2" 2 "$rc"
check_eq "--record-audio without --fixed-dt: the line" \
  "varenko: --record-audio needs --frames N and --fixed-dt SECONDS (see --help)" "$out"

start_xvfb 640x480x24
# No server anywhere, unless a test starts one.
export PULSE_SERVER="unix:$E2E_TMP/no-server"

record() {  # record FILE ARGS...: a seeded show's sound
  local file=$1
  shift
  timeout 300 "$prog" --window 160x120 --seed 8 --fixed-dt 0.04 --record-audio "$file" "$@"
}

# --- record mode --------------------------------------------------------------------------------
record "$E2E_TMP/one.wav" --frames 375 --sound 100 && rc=0 || rc=$?
check_eq "a recording exits 0" 0 "$rc"
check_eq "frames x step at 48 kHz, 16-bit stereo" $((44 + 375 * 1920 * 4)) "$(stat -c %s "$E2E_TMP/one.wav")"
check_eq "a 48 kHz stereo 16-bit WAV file" "2 48000 16" \
  "$(soxi -c "$E2E_TMP/one.wav") $(soxi -r "$E2E_TMP/one.wav") $(soxi -b "$E2E_TMP/one.wav")"
loud=$(loudest_second "$E2E_TMP/one.wav" 44)
check "the show is heard ($loud RMS)" test "$loud" -gt 100
record "$E2E_TMP/two.wav" --frames 375 --sound 100 >/dev/null
check "the same seed gives the same file" cmp -s "$E2E_TMP/one.wav" "$E2E_TMP/two.wav"
record "$E2E_TMP/quiet.wav" --frames 375 >/dev/null
check_eq "volume 0 (the default): silence" 0 "$(loudest_second "$E2E_TMP/quiet.wav" 44)"

for kind in 19 20; do
  record "$E2E_TMP/finale.wav" --frames 500 --sound 100 --burst "$kind" --max-shells 30 >/dev/null
  peak=$(python3 -c "import array,sys; s=array.array('h',open(sys.argv[1],'rb').read()[44:]); print(max(map(abs,s)))" "$E2E_TMP/finale.wav")
  check "finale $kind: loud ($peak) and no sample at full scale" test "$peak" -gt 8000 -a "$peak" -lt 32767
done

out=$(record /proc/none.wav --frames 3 --sound 100 2>&1) && rc=0 || rc=$?
check_eq "a sound file that cannot be made: exit 1" 1 "$rc"
check_eq "a sound file that cannot be made: one line" \
  'varenko: cannot write the sound "/proc/none.wav"' "$out"

# --- real output --------------------------------------------------------------------------------
run() { timeout 120 "$prog" --window 160x120 --seed 8 --max-fps 30 "$@"; }

out=$(run --frames 40 --sound 100 2>&1 >/dev/null) && rc=0 || rc=$?
check_eq "no server: exit 0" 0 "$rc"
check "no server: one line ($out)" \
  test "$(grep -c '' <<<"$out")" = 1 -a "${out#varenko: no sound output}" != "$out"

start_pulse
record_monitor "$E2E_TMP/heard.raw"
out=$(run --frames 300 --sound 100 2>&1 >/dev/null) && rc=0 || rc=$?
stop_monitor
check_eq "into PulseAudio: exit 0, nothing said" "0 " "$rc $out"
loud=$(loudest_second "$E2E_TMP/heard.raw")
check "the show is heard on the sink's monitor ($loud RMS)" test "$loud" -gt 100

record_monitor "$E2E_TMP/preview.raw"
root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
out=$(timeout 120 "$prog" --window-id "$root" --seed 8 --max-fps 30 --frames 300 --sound 100 \
  2>&1 >/dev/null) && rc=0 || rc=$?
stop_monitor
check_eq "a preview (--window-id): exit 0, nothing said" "0 " "$rc $out"
check_eq "a preview is silent" 0 "$(loudest_second "$E2E_TMP/preview.raw")"

run --frames 600 --sound 100 >/dev/null 2>"$E2E_TMP/gone.err" &
pid=$!
E2E_PIDS+=("$pid")
sleep 3
kill "$PULSE_PID"
wait "$pid" && rc=0 || rc=$?
check_eq "the server goes away mid-show: the show runs on to exit 0" 0 "$rc"
check_eq "the server goes away mid-show: one line" 1 "$(grep -c 'varenko: the sound output failed' "$E2E_TMP/gone.err")"
check_eq "the server goes away mid-show: nothing else" 1 "$(grep -c '' "$E2E_TMP/gone.err")"
finish
