# Sound helpers for the end-to-end tests, sourced after lib.sh: a private PulseAudio server with a
# null sink, its monitor recorded to a raw file, and the loudness of such a recording.

# start_pulse: a PulseAudio server of this test alone (its own runtime folder and socket, no
# session bus) playing into the null sink "varenko_sink"; exports PULSE_SERVER and sets PULSE_PID.
# Root runs it too: --system would share one server between tests.
start_pulse() {
  local dir="$E2E_TMP/pulse"
  mkdir -p "$dir/home" && chmod 700 "$dir"
  XDG_RUNTIME_DIR="$dir" HOME="$dir/home" pulseaudio --daemonize=no --exit-idle-time=-1 \
    --disable-shm=yes -n --load="module-null-sink sink_name=varenko_sink rate=48000" \
    --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
    --log-target=file:"$dir/log" >/dev/null 2>&1 &
  PULSE_PID=$!
  E2E_PIDS+=("$PULSE_PID")
  export PULSE_SERVER="unix:$dir/native"
  wait_until 15 pactl info || { echo "could not start PulseAudio" >&2; return 1; }
}

# record_monitor FILE: records the null sink's monitor as raw 48 kHz 16-bit stereo until
# stop_monitor; sets MONITOR_PID.
record_monitor() {
  parec -d varenko_sink.monitor --format=s16le --rate=48000 --channels=2 --raw >"$1" &
  MONITOR_PID=$!
  E2E_PIDS+=("$MONITOR_PID")
  sleep 0.5
}
stop_monitor() { kill "$MONITOR_PID" 2>/dev/null || true; wait "$MONITOR_PID" 2>/dev/null || true; }

# loudest_second FILE [SKIP]: the highest RMS of any whole second of a raw recording (or of a WAV
# file's samples), after SKIP bytes of header.
loudest_second() {
  python3 - "$1" "${2:-0}" <<'PY'
import array, math, sys
data = open(sys.argv[1], "rb").read()[int(sys.argv[2]):]
s = array.array("h", data[: len(data) // 2 * 2])
best = 0.0
for i in range(0, len(s), 96000):
    part = s[i : i + 96000]
    if part:
        best = max(best, math.sqrt(sum(x * x for x in part) / len(part)))
print(int(best))
PY
}
