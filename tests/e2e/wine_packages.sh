#!/usr/bin/env bash
# The Windows packages under Wine: the zip's four files; the installer with /S puts both programs
# in the system folder with their version resources, the uninstall entry and the current-saver
# values, and the installed saver runs a whole run; the guide button opens the installed guide;
# the refusals (a newer version, a second Setup, no rights) leave nothing behind; an upgrade over
# an older version goes through; the uninstaller removes programs and entry, keeps the settings
# and a screen saver that is not ours, also after the programs were deleted by hand.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine

version=$(sed -n 's/^project(Varenko VERSION \([0-9.]*\).*/\1/p' "$VARENKO_SOURCE/CMakeLists.txt")
packages="$VARENKO_WINDOWS_BUILD/packages"
zip="$packages/Varenko-$version-win64.zip"
setup="$packages/Varenko-$version-setup.exe"
probe=$(win_exe tests/resource_probe.exe)
info=$(win_exe tests/window_info.exe)
check "the zip is built" test -f "$zip"
check "the installer is built" test -f "$setup"

check_eq "the zip holds exactly its four files" "LICENSE.txt README.txt Varenko.dll Varenko.scr" \
  "$(unzip -Z1 "$zip" | sort | tr '\n' ' ' | sed 's/ $//')"
unzip -q -d "$E2E_TMP/zip" "$zip"
check "the zip's README tells how to install by hand" grep -qi "right-click Varenko.scr" \
  "$E2E_TMP/zip/README.txt"
check "the zip's licence is the project's" cmp -s <(tr -d '\r' <"$E2E_TMP/zip/LICENSE.txt") \
  "$VARENKO_SOURCE/LICENSE"

sysdir="$WINEPREFIX/drive_c/windows/system32"
docdir="$WINEPREFIX/drive_c/Program Files/Varenko"
uninst_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varenko'
desktop_key='HKCU\Control Panel\Desktop'
# reg_value KEY NAME: the data of a value, or nothing.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
key_gone() { ! wine reg query "$uninst_key" >/dev/null 2>&1; }
nothing_installed() {
  [[ ! -e "$sysdir/Varenko.scr" && ! -e "$sysdir/Varenko.dll" && ! -e "$docdir" ]] && key_gone
}
# install [ARGS]: runs the installer silently; prints its exit code.
install() { local rc=0; wine_run 120 "$setup" /S "$@" >/dev/null || rc=$?; echo "$rc"; }
# uninstall: runs the uninstaller silently, which hands over to a copy of itself and returns at
# once, so wait for the entry to go.
uninstall() {
  wine_run 60 "$docdir/Uninstall.exe" /S >/dev/null || true
  wait_until 60 key_gone
}
clean() {
  wine reg delete "$uninst_key" /f >/dev/null 2>&1 || true
  rm -rf "$sysdir/Varenko.scr" "$sysdir/Varenko.dll" "$docdir"
}
clean
trap 'clean; e2e_cleanup' EXIT

# --- Refusals leave nothing behind --------------------------------------------------------------
wine reg add "$uninst_key" /v DisplayVersion /d 99.0.0 /f >/dev/null
check_eq "over a newer version Setup ends with code 3" 3 "$(install)"
wine reg delete "$uninst_key" /f >/dev/null
check "and installs nothing" nothing_installed

first=$(wine_start "$setup")
setup_window() { xdotool search --onlyvisible --name "^Varenko $version Setup" >/dev/null; }
check "a Setup waits at its licence page" wait_until 60 setup_window
check_eq "a second Setup ends with code 4" 4 "$(install)"
kill "$first" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
check "and nothing is installed" nothing_installed

if [[ $(id -u) -ne 0 ]]; then
  chmod a-w "$sysdir"
  check_eq "without the rights to the system folder Setup ends with code 2" 2 "$(install)"
  chmod u+w "$sysdir"
  check "and leaves nothing behind" nothing_installed
fi

# --- Install ------------------------------------------------------------------------------------
reg_set 00 12
wine reg add "$desktop_key" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null
check_eq "Setup /S succeeds" 0 "$(install)"
check "both programs are in the system folder" test -f "$sysdir/Varenko.scr" -a -f "$sysdir/Varenko.dll"
check "guide, licence and uninstaller in their folder" \
  test -f "$docdir/README.txt" -a -f "$docdir/LICENSE.txt" -a -f "$docdir/Uninstall.exe"
check_eq "entry: name" Varenko "$(reg_value "$uninst_key" DisplayName)"
check_eq "entry: version" "$version" "$(reg_value "$uninst_key" DisplayVersion)"
check_eq "entry: publisher" "the Varenko developers" "$(reg_value "$uninst_key" Publisher)"
check_eq "entry: uninstall string" '"C:\Program Files\Varenko\Uninstall.exe"' \
  "$(reg_value "$uninst_key" UninstallString)"
size=$(($(reg_value "$uninst_key" EstimatedSize)))
check "entry: the size in KiB covers the programs ($size)" test "$size" -ge \
  $((($(stat -c %s "$sysdir/Varenko.scr") + $(stat -c %s "$sysdir/Varenko.dll")) / 1024))
saver=$(reg_value "$desktop_key" SCRNSAVE.EXE)
check_eq "Varenko is the current saver" 'c:\windows\system32\varenko.scr' "${saver,,}"
check_eq "the saver is active" 1 "$(reg_value "$desktop_key" ScreenSaveActive)"

# The installed programs carry the name and the version.
scr_info=$(wine_run 30 "$probe" 'C:\windows\system32\Varenko.scr')
dll_info=$(wine_run 30 "$probe" 'C:\windows\system32\Varenko.dll')
field() { sed -n "s/^$2=//p" <<<"$1"; }
check_eq "string 1 of Varenko.scr is the display name" Varenko "$(field "$scr_info" string1)"
for program in scr dll; do
  out=${program}_info
  out=${!out}
  check_eq "$program: fixed file version" "$version.0" "$(field "$out" fixed.file)"
  check_eq "$program: fixed product version" "$version.0" "$(field "$out" fixed.product)"
  check_eq "$program: product name" Varenko "$(field "$out" ProductName)"
  check_eq "$program: file version" "$version" "$(field "$out" FileVersion)"
  check_eq "$program: product version" "$version" "$(field "$out" ProductVersion)"
  check_eq "$program: file name" "Varenko.$program" "$(field "$out" OriginalFilename)"
  check "$program: copyright" grep -q "^LegalCopyright=Copyright (C) 20[0-9][0-9] the Varenko developers$" <<<"$out"
  check "$program: description" grep -q "^FileDescription=Varenko fireworks" <<<"$out"
done

# --- The installed saver runs, with the renderer beside it --------------------------------------
scr='C:\windows\system32\Varenko.scr'
pid=$(wine_start "$scr" /s)
check "the installed saver brings up the renderer" wait_until 60 window_exists VarenkoVC
id=$(find_window VarenkoVC | head -n1)
sleep 2
xdotool windowfocus --sync "$id" 2>/dev/null || true
xdotool key space
check "a key ends the renderer" wait_until 30 window_gone VarenkoVC
check "and the front end" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"

# The guide button of the installed saver's dialog opens the installed guide (no README.txt lies
# in the system folder). Wine's prefix lacks the ".txt" association Windows has; it opens them
# with its notepad once given.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null
pid=$(wine_start "$scr" /c)
if wait_until 60 window_exists Varenko; then
  sleep 1
  read -r ox oy < <(wine_run 30 "$info" Varenko | sed -n 's/^origin=//p' | tr ',' ' ')
  xdotool mousemove $((ox + 144)) $((oy + 464))  # `Cmd_Etc` at 1500, 6780, 1335 x 375 twips
  sleep 0.3
  xdotool click 1
  guide_open() { pgrep -f -i 'notepad.*Program Files.Varenko.README\.txt' >/dev/null; }
  check "the guide button opens the installed README.txt" wait_until 30 guide_open
else
  fail "no settings dialog"
fi
wineserver -k >/dev/null 2>&1 || true

# --- Upgrade over an older version --------------------------------------------------------------
wine reg add "$uninst_key" /v DisplayVersion /d 0.9.0 /f >/dev/null
check_eq "Setup /S over an older version succeeds" 0 "$(install)"
check_eq "the entry shows the new version" "$version" "$(reg_value "$uninst_key" DisplayVersion)"

# --- Uninstall: a saver that is not ours stays; programs deleted by hand ------------------------
wine reg add "$desktop_key" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null
rm -f "$sysdir/Varenko.dll"
check "the uninstaller removes the entry, though a program was deleted by hand" uninstall
check "programs, guide and uninstaller are gone" nothing_installed
check_eq "a saver Setup did not set stays" 'C:\windows\system32\other.scr' \
  "$(reg_value "$desktop_key" SCRNSAVE.EXE)"
check_eq "the user's Varenko settings stay" 12 "$(reg_get 00)"

# --- Uninstall while Varenko is the saver -------------------------------------------------------
check_eq "Setup /S again" 0 "$(install)"
check "the uninstaller ends" uninstall
check_eq "Varenko is no longer the saver" "" "$(reg_value "$desktop_key" SCRNSAVE.EXE)"
check_eq "and the saver is off" 0 "$(reg_value "$desktop_key" ScreenSaveActive)"
check "nothing is left" nothing_installed

reg_delete_key
wine reg delete "$desktop_key" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
finish
