#!/usr/bin/env bash
# The Linux renderer as a hack of the real XScreenSaver on Xvfb: our program is the only one in the
# programs list, XScreenSaver starts it inside its own window on -activate and stops it on
# -deactivate. XScreenSaver refuses to run hacks as root, so as root everything XScreenSaver runs
# runs as an unprivileged user made for the purpose.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
command -v xscreensaver >/dev/null || { fail "xscreensaver is not installed"; finish; }

start_xvfb 800x600x24

# Installed where XScreenSaver looks for hacks and their settings, from the build tree or from
# $VARENKO_HACK_ROOT, a tree laid out as /usr. The user must read all of it, so the prefix is a
# folder with open permissions; the full path in the programs list also makes our program the
# one process whose command line names that folder.
chmod 755 "$E2E_TMP"
prefix="$E2E_TMP/prefix"
if [[ -n "${VARENKO_HACK_ROOT:-}" ]]; then
  cp -R "$VARENKO_HACK_ROOT" "$prefix"
else
  cmake --install "$VARENKO_LINUX_BUILD" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    fail "cmake --install"
fi
hack="$prefix/libexec/xscreensaver/varenko"
xml="$prefix/share/xscreensaver/config/varenko.xml"
check "the program is installed among the hacks" test -x "$hack"
check "the settings description is installed for the settings GUI" test -f "$xml"
chmod -R a+rX "$prefix"
mkdir -p "$E2E_TMP/home"

# Every option the settings GUI may pass is one the program takes: the sliders at their lowest,
# default and highest values, with every switch away from its default.
xml_args() {  # xml_args low|default|high: the command line the GUI would build
  local attribute=$1
  sed -n 's/.*arg="\([^"]*\) %".*/\1/p' "$xml" | while read -r option; do
    local value
    value=$(tr '\n' ' ' <"$xml" | sed 's/<number /\n<number /g' | grep -F "arg=\"$option %\"" |
      sed -n "s/.* $attribute=\"\([^\"]*\)\".*/\1/p")
    printf '%s %s ' "$option" "$value"
  done
  sed -n 's/.*arg-\(un\)*set="\([^"]*\)".*/\2/p' "$xml" | tr '\n' ' '
}
# The sound slider at its highest plays into a server of this test's own.
source "$VARENKO_SOURCE/tools/e2e/pulse.sh"
start_pulse
for attribute in low default high; do
  args=$(xml_args "$attribute")
  # shellcheck disable=SC2086
  out=$(timeout 60 "$hack" --window 64x64 --fixed-dt 0.04 --frames 2 $args 2>&1) && rc=0 || rc=$?
  check_eq "the settings GUI's options at their $attribute values are taken ($args)" "0:" "$rc:$out"
done
check_eq "the description has the nine settings, the frame-rate limit and the readout" 11 "$(grep -c -E '<(number|boolean) ' "$xml")"

as_user=()
if [[ $(id -u) -eq 0 ]]; then
  user=varenko-e2e
  id -u "$user" >/dev/null 2>&1 || useradd -m "$user"
  chown "$user" "$E2E_TMP/home"
  as_user=(runuser -u "$user" --)
fi
# run_saver COMMAND...: runs a command as XScreenSaver's user, with a home of its own.
run_saver() { "${as_user[@]}" env HOME="$E2E_TMP/home" DISPLAY="$DISPLAY" "$@"; }

# Only our hack, in mode "one"; nothing that would delay or hide the drawing.
cat >"$E2E_TMP/home/.xscreensaver" <<EOF
mode:		one
selected:	0
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
timeout:	0:30:00
programs:	GL: $hack --root --seed 5 --max-shells 20 \n
EOF
chmod 644 "$E2E_TMP/home/.xscreensaver"
[[ -z "${as_user[*]}" ]] || chown "$user" "$E2E_TMP/home/.xscreensaver"

log="$E2E_TMP/xscreensaver.log"
run_saver xscreensaver -no-splash -verbose >"$log" 2>&1 &
E2E_PIDS+=("$!")
wait_until 20 run_saver xscreensaver-command -version || { tail -n 20 "$log" >&2; fail "XScreenSaver did not start"; }

hack_pid() { pgrep -f "^$hack " | head -n1; }
# nonblack FILE: the share of pixels brighter than 5 %, in thousandths.
nonblack() {
  convert "$1" -colorspace gray -threshold 5% -format '%[fx:round(mean*1000)]' info:
}

run_saver xscreensaver-command -activate >/dev/null
if wait_until 20 hack_pid; then
  pass "-activate starts our program"
else
  fail "our program did not start"
  cat "$log" >&2
  finish
fi
pid=$(hack_pid)
target=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | sed -n 's/^XSCREENSAVER_WINDOW=//p')
check "it is given XScreenSaver's window" test -n "$target"

# The show needs a few seconds to put light on the screen; wait for it rather than sleeping.
first="$E2E_TMP/first.png"
second="$E2E_TMP/second.png"
lit() { screenshot "$first" && (($(nonblack "$first") >= 2)); }
if wait_until 30 lit; then pass "the screen shows the show"; else fail "the screen stayed black"; fi
sleep 1
screenshot "$second"
diff=$(compare -metric AE "$first" "$second" null: 2>&1 || true)
check "the picture changes between two shots ($diff pixels)" test "${diff%%.*}" -gt 100
check "still running" kill -0 "$pid"

# ended PID: the process is gone, or a zombie waiting for a parent that XScreenSaver no longer is
# to reap it. A zombie still shows its exit status (field 52 of its stat line, as wait reports it).
ended() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null || true)
  [[ -z "$state" || "$state" == Z* ]]
}
now_ms() { local t=${EPOCHREALTIME/./}; echo $((10#$t / 1000)); }

run_saver xscreensaver-command -deactivate >/dev/null
start=$(now_ms)
while ! ended "$pid" && (($(now_ms) - start < 3000)); do sleep 0.02; done
elapsed=$(($(now_ms) - start))
status=$(awk '{print $NF}' "/proc/$pid/stat" 2>/dev/null || true)
if ! ended "$pid"; then
  fail "our program still runs after -deactivate"
else
  check "after -deactivate it ended within a second (${elapsed} ms)" test "$elapsed" -le 1000
  [[ -z "$status" ]] || check_eq "it ended with exit code 0" 0 "$status"
fi
run_saver xscreensaver-command -exit >/dev/null || true
if grep -E "^varenko:|X Error|BadWindow|BadDrawable" "$log"; then
  fail "error output from our program"
else
  pass "no error output"
fi
finish
