#!/usr/bin/env bash
# The whole show in the Linux renderer: a long seeded run fills the sky with thousands of
# particles and coloured bursts; no shells means no particle at all; every setting at its
# extremes, and the longest frame step the program takes, run to the end with bounded memory.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
varenko="$VARENKO_LINUX_BUILD/varenko"

field() { sed -n "s/.*\"$1\":\([0-9.-]*\).*/\1/p" <<<"$2"; }
# coloured PNG: hundred-thousandths of the pixels that are strongly coloured and not dark (a
# burst's stars, not the grey clouds, the white stars or the dim glow of the sky).
coloured() { convert "$1" -fx 'saturation>0.5&&lightness>0.2' -format '%[fx:round(mean*100000)]' info:; }

# --- a minute of the show ---------------------------------------------------------------------
stats=$(timeout 500 "$varenko" --window 960x540 --seed 7 --fixed-dt 0.02 --frames 3000 --stats)
echo "$stats"
check_eq "the long run draws all its frames" 3000 "$(field frames "$stats")"
peak=$(field peak_particles "$stats")
check "thousands of live particles at the peak ($peak)" test "${peak:-0}" -ge 2000

# --- coloured bursts, and nothing at all without shells ----------------------------------------
# Eighteen seconds into the same show several bursts are in view.
timeout 120 "$varenko" --window 480x270 --seed 7 --fixed-dt 0.02 --frames 900 \
  --screenshot "$E2E_TMP/show.png"
shown=$(coloured "$E2E_TMP/show.png")
check "the show has coloured bursts ($shown)" test "$shown" -ge 100
printf '00=0\n' >"$E2E_TMP/none.conf"
stats=$(timeout 120 "$varenko" --window 480x270 --seed 7 --fixed-dt 0.02 --frames 900 --stats \
  --settings "$E2E_TMP/none.conf" --screenshot "$E2E_TMP/none.png")
check_eq "\"00\" = \"0\" makes no particle" 0 "$(field peak_particles "$stats")"
check_eq "and nothing coloured is seen" 0 "$(coloured "$E2E_TMP/none.png")"

# --- extremes ------------------------------------------------------------------------------------
# Every setting at one extreme, five seconds of show at a normal step and 25 of the longest step.
# The record cap bounds the pool and the memory; the settings that size the show count no further
# than the dialog goes, so no frame keeps the saver from answering input for long.
for value in 0 -1 32767 2147483647; do
  conf="$E2E_TMP/extreme$value.conf"
  : >"$conf"
  for n in 00 01 02 03 04 05 06 07; do printf '%s=%s\n' "$n" "$value" >>"$conf"; done
  for run in 0.05:100 60:25; do
    step=${run%:*} frames=${run#*:} rc=0
    out=$( (command time -f 'rss_kb=%M' timeout 120 "$varenko" --window 160x90 --seed 3 \
      --fixed-dt "$step" --frames "$frames" --stats --settings "$conf") 2>&1) || rc=$?
    rss=$(sed -n 's/^rss_kb=//p' <<<"$out")
    pool=$(field pool_size "$out")
    worst=$(field worst_ms "$out")
    check_eq "all settings $value, step $step s: runs to the end" "0:$frames" "$rc:$(field frames "$out")"
    check "all settings $value, step $step s: pool within its cap (${pool:-?})" \
      test "${pool:-999999}" -le 250000
    check "all settings $value, step $step s: memory bounded (${rss:-?} KiB)" \
      test "${rss:-9999999}" -le 1048576
    check "all settings $value, step $step s: worst frame within a second (${worst:-?} ms)" \
      awk -v w="${worst:-99999}" 'BEGIN { exit !(w <= 1000) }'
  done
done
finish
