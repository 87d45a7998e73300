#!/usr/bin/env bash
# The Windows renderer's ReadSettings against the real registry of a Wine prefix: missing key,
# non-numeric, negative, out-of-range and over-long values, and a lone value.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine
prog=$(win_exe tests/print_settings.exe)

field() { sed -n "s/^$1=//p" <<<"$out"; }

reg_delete_key
out=$(wine_run 60 "$prog")
check_eq "no key: all defaults" \
  "10 5 20 10 20 20 1 1" \
  "$(field maxShells) $(field smokeSpan) $(field windSpeed) $(field ambientLevel) $(field starDensity) $(field flareBrightness) $(field cloudy) $(field illumination)"
check_eq "no key: default smoke table" "0.4,0.8,0.4,2,0.4,0.8,0.4,5" "$(field SmokeLifeTable)"

reg_delete_key
reg_set 03 30
out=$(wine_run 60 "$prog")
check_eq "only 03 present" "10 5 20 30 20 20 1 1" \
  "$(field maxShells) $(field smokeSpan) $(field windSpeed) $(field ambientLevel) $(field starDensity) $(field flareBrightness) $(field cloudy) $(field illumination)"

reg_delete_key
reg_set 00 abc
reg_set 01 -5
reg_set 02 99999999999
reg_set 03 "$(printf '7%.0s' $(seq 300))"
reg_set 04 " 42xyz"
reg_set 05 -99999999999
reg_set 06 0
out=$(wine_run 60 "$prog")
check_eq "abc reads as 0" 0 "$(field maxShells)"
check_eq "negative kept" -5 "$(field smokeSpan)"
check_eq "beyond int saturates" 2147483647 "$(field windSpeed)"
check_eq "300-character value ignored, default kept" 10 "$(field ambientLevel)"
check_eq "leading blanks and trailing letters" 42 "$(field starDensity)"
check_eq "below int saturates" -2147483648 "$(field flareBrightness)"
check_eq "zero kept" 0 "$(field cloudy)"
check_eq "missing 07 keeps default" 1 "$(field illumination)"
check_eq "negative span: table of negatives" "-5,-5,-5,-5,-5,-5,-5,-5" "$(field SmokeLifeTable)"

reg_delete_key
reg_set 01 0
out=$(wine_run 60 "$prog")
check_eq "smoke off: no table" none "$(field SmokeLifeTable)"
reg_set 01 1
out=$(wine_run 60 "$prog")
check_eq "span 1" "0.4,0.8,0.4,1,0.4,0.8,0.4,1" "$(field SmokeLifeTable)"
reg_delete_key
finish
