#!/usr/bin/env bash
# Record mode of the Linux renderer: every frame as a numbered PNG in a folder it creates, the
# same pictures for the same seed and step, and one-line errors with exit code 1 or 2.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
prog="$VARENKO_LINUX_BUILD/varenko"

# --- refused command lines: exit 2, one line --------------------------------------------------
for args in "--record $E2E_TMP/r" "--record $E2E_TMP/r --frames 3" \
  "--record $E2E_TMP/r --fixed-dt 0.04"; do
  # shellcheck disable=SC2086
  out=$("$prog" $args 2>&1) && rc=0 || rc=$?
  check_eq "$args: exit code 2" 2 "$rc"
  check_eq "$args: one line" 1 "$(printf '%s\n' "$out" | wc -l)"
done
check "a refused recording creates nothing" test ! -e "$E2E_TMP/r"

start_xvfb 640x480x24

record() {  # record DIR ARGS...: a short recording at a fixed step
  local dir=$1
  shift
  timeout 120 "$prog" --window 160x120 --seed 8 --fixed-dt 0.04 --record "$dir" "$@"
}

# --- a recording ------------------------------------------------------------------------------
dir="$E2E_TMP/new/nested"
record "$dir" --frames 30 --screenshot "$E2E_TMP/last.png" && rc=0 || rc=$?
check_eq "recording exits 0" 0 "$rc"
check_eq "one picture per frame, numbered from 1" \
  "$(printf 'frame-%05d.png\n' $(seq 30))" "$(ls "$dir")"
check_eq "pictures have the window's size" "160x120" \
  "$(identify -format '%wx%h' "$dir/frame-00017.png" 2>/dev/null)"
check "the last picture is the last frame" cmp -s "$dir/frame-00030.png" "$E2E_TMP/last.png"
lit=$(convert "$dir/frame-00030.png" -colorspace gray -threshold 5% -format '%[fx:round(mean*1000)]' info:)
check "the show is on the pictures ($lit per mille lit)" test "$lit" -ge 1
diff=$(compare -metric AE "$dir/frame-00010.png" "$dir/frame-00030.png" null: 2>&1 || true)
check "the pictures change over time ($diff pixels)" test "${diff%%.*}" -gt 0

again="$E2E_TMP/again"
mkdir -p "$again"
record "$again" --frames 12 && rc=0 || rc=$?
check_eq "recording into an existing folder exits 0" 0 "$rc"
check "the same seed and step give the same pictures" cmp -s "$dir/frame-00012.png" "$again/frame-00012.png"

# --- failures: one line, exit 1 ---------------------------------------------------------------
: >"$E2E_TMP/file"
out=$(record "$E2E_TMP/file/sub" --frames 3 2>&1) && rc=0 || rc=$?
check_eq "a folder that cannot be made: exit 1" 1 "$rc"
check_eq "a folder that cannot be made: one line" \
  "varenko: cannot create the folder \"$E2E_TMP/file/sub\"" "$out"
# /proc is a folder in which nobody, not even root, can make files.
out=$(record /proc --frames 3 2>&1) && rc=0 || rc=$?
check_eq "a frame that cannot be written: exit 1" 1 "$rc"
check_eq "a frame that cannot be written: one line" \
  'varenko: cannot write the frame "/proc/frame-00001.png"' "$out"
finish
