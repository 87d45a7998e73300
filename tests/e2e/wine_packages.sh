#!/usr/bin/env bash
# The Windows packages under Wine: the zip's four files; refusals of the installer leave nothing
# behind; /S installs the programs with their resources, the entry and the current saver, and the
# installed saver runs and opens its guide; an upgrade; the uninstaller removes what Setup made.
source "$(dirname "$0")/../../tools/e2e/lib.sh"
start_xvfb
use_wine

version=$(sed -n 's/^project(Varenko VERSION \([0-9.]*\).*/\1/p' "$VARENKO_SOURCE/CMakeLists.txt")
packages="$VARENKO_WINDOWS_BUILD/packages"
zip="$packages/Varenko-$version-win64.zip"
setup="$packages/Varenko-$version-setup.exe"

check_eq "the zip holds exactly its four files" "LICENSE.txt README.txt Varenko.dll Varenko.scr" \
  "$(unzip -Z1 "$zip" | sort | tr '\n' ' ' | sed 's/ $//')"
unzip -q -d "$E2E_TMP/zip" "$zip"
check "the zip's licence is the project's" cmp -s <(tr -d '\r' <"$E2E_TMP/zip/LICENSE.txt") \
  "$VARENKO_SOURCE/LICENSE"

sysdir="$WINEPREFIX/drive_c/windows/system32"
docdir="$WINEPREFIX/drive_c/Program Files/Varenko"
uninst_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varenko'
desktop_key='HKCU\Control Panel\Desktop'
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
key_gone() { ! wine reg query "$uninst_key" >/dev/null 2>&1; }
nothing_installed() {
  [[ ! -e "$sysdir/Varenko.scr" && ! -e "$sysdir/Varenko.dll" && ! -e "$docdir" ]] && key_gone
}
install() { local rc=0; wine_run 120 "$setup" /S >/dev/null || rc=$?; echo "$rc"; }
# The uninstaller hands over to a copy of itself and returns at once: wait for the entry to go.
uninstall() {
  wine_run 60 "$docdir/Uninstall.exe" /S >/dev/null || true
  wait_until 60 key_gone
}
clean() {
  wine reg delete "$uninst_key" /f >/dev/null 2>&1 || true
  wine reg delete "$desktop_key" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
  rm -rf "$sysdir"/Varenko.* "$docdir"
}
clean
trap 'clean; e2e_cleanup' EXIT

# --- Refusals leave nothing behind --------------------------------------------------------------
wine reg add "$uninst_key" /v DisplayVersion /d 99.0.0 /f >/dev/null
check_eq "over a newer version Setup ends with code 3" 3 "$(install)"
wine reg delete "$uninst_key" /f >/dev/null
check "and installs nothing" nothing_installed

wine_start "$setup" >/dev/null
setup_window() { xdotool search --onlyvisible --name "^Varenko $version Setup" >/dev/null; }
check "a Setup waits at its licence page" wait_until 60 setup_window
check_eq "a second Setup ends with code 4" 4 "$(install)"
wineserver -k >/dev/null 2>&1 || true
check "and nothing is installed" nothing_installed

# A program that cannot be written (a folder in the way, as a missing right would) after the
# renderer was put in place: Setup takes the renderer out again.
mkdir "$sysdir/Varenko.scr.new"
check_eq "when a program cannot be written Setup ends with code 2" 2 "$(install)"
rmdir "$sysdir/Varenko.scr.new"
check "and leaves nothing behind" nothing_installed

# --- Install ------------------------------------------------------------------------------------
reg_set 00 12
check_eq "Setup /S succeeds" 0 "$(install)"
check "the programs in the system folder; guide, licence and uninstaller in theirs" test -f \
  "$sysdir/Varenko.scr" -a -f "$sysdir/Varenko.dll" -a -f "$docdir/README.txt" -a -f \
  "$docdir/LICENSE.txt" -a -f "$docdir/Uninstall.exe"
entry() { for v in "$@"; do reg_value "$uninst_key" "$v"; done | paste -sd'|'; }
check_eq "the uninstall entry" \
  "Varenko|$version|the Varenko developers|\"C:\Program Files\Varenko\Uninstall.exe\"" \
  "$(entry DisplayName DisplayVersion Publisher UninstallString)"
size=$(($(reg_value "$uninst_key" EstimatedSize)))
check "entry: the size in KiB covers the programs ($size)" test "$size" -ge \
  $((($(stat -c %s "$sysdir/Varenko.scr") + $(stat -c %s "$sysdir/Varenko.dll")) / 1024))
saver() { reg_value "$desktop_key" SCRNSAVE.EXE; }
active() { reg_value "$desktop_key" ScreenSaveActive; }
check_eq "Varenko is the current, active saver" 'c:\windows\system32\varenko.scr|1' \
  "$(saver | tr '[:upper:]' '[:lower:]')|$(active)"

# The installed programs carry the name and the version, as the system reads them.
year=$(sed -n 's/^set(VARENKO_COPYRIGHT_YEAR \([0-9]*\))/\1/p' "$VARENKO_SOURCE/CMakeLists.txt")
resources() {  # resources FILE DESCRIPTION: the probe's expected output
  [[ $1 != *.scr ]] || echo "string1=Varenko"
  printf '%s\n' "fixed=$version.0 $version.0" "CompanyName=the Varenko developers" \
    "FileDescription=$2" "FileVersion=$version" \
    "LegalCopyright=Copyright (C) $year the Varenko developers" "OriginalFilename=$1" \
    "ProductName=Varenko" "ProductVersion=$version"
}
check_eq "Varenko.scr: display name and version resource" \
  "$(resources Varenko.scr "Varenko fireworks screen saver")" \
  "$(wine_run 30 "$(win_exe tests/resource_probe.exe)" 'C:\windows\system32\Varenko.scr')"
check_eq "Varenko.dll: version resource" "$(resources Varenko.dll "Varenko fireworks renderer")" \
  "$(wine_run 30 "$(win_exe tests/resource_probe.exe)" 'C:\windows\system32\Varenko.dll')"

# --- The installed saver runs, with the renderer beside it --------------------------------------
scr='C:\windows\system32\Varenko.scr'
pid=$(wine_start "$scr" /s)
check "the installed saver brings up the renderer" wait_until 60 window_exists VarenkoVC
sleep 2
xdotool windowfocus --sync "$(find_window VarenkoVC | head -n1)" 2>/dev/null || true
xdotool key space
check "a key ends the renderer" wait_until 30 window_gone VarenkoVC
check "and the front end" wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"

# The guide button of the installed saver opens the installed guide, none lying beside it. Wine
# opens text files with its notepad once given the ".txt" association that Windows has.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null
wine_start "$scr" /c >/dev/null
wait_until 60 window_exists Varenko && sleep 1
origin=$(wine_run 30 "$(win_exe tests/window_info.exe)" Varenko | sed -n 's/^origin=//p')
ox=${origin%,*} oy=${origin#*,}
xdotool mousemove $((ox + 144)) $((oy + 464)) sleep 0.3 click 1  # `Cmd_Etc` at 1500, 6780 twips
guide_open() { pgrep -f -i 'notepad.*Program Files.Varenko.README\.txt' >/dev/null; }
check "the guide button opens the installed README.txt" wait_until 30 guide_open
wineserver -k >/dev/null 2>&1 || true

# --- Upgrade over an older version --------------------------------------------------------------
wine reg add "$uninst_key" /v DisplayVersion /d 0.9.0 /f >/dev/null
check_eq "Setup /S over an older version succeeds" 0 "$(install)"
check_eq "the entry shows the new version" "$version" "$(reg_value "$uninst_key" DisplayVersion)"

# --- Uninstall, after a program was deleted by hand; then with a saver that is not ours --------
rm -f "$sysdir/Varenko.dll"
check "the uninstaller removes the entry" uninstall
check "programs, guide and uninstaller are gone" nothing_installed
check_eq "Varenko is no longer the saver, and the saver is off" "|0" "$(saver)|$(active)"
check_eq "the user's Varenko settings stay" 12 "$(reg_get 00)"
check_eq "Setup /S again" 0 "$(install)"
wine reg add "$desktop_key" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null
check "the uninstaller ends" uninstall
check_eq "a saver Setup did not set stays" 'C:\windows\system32\other.scr' "$(saver)"

reg_delete_key
finish
