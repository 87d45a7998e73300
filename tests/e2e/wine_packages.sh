#!/usr/bin/env bash
# The Windows packages under Wine: the zip's four files and its guide in both languages; refusals
# of the installer leave nothing behind; /S installs the programs with their resources, the entry
# and the current saver, and the installed saver runs and opens its guide; an upgrade; the
# uninstaller removes what Setup made and gives back the saver before it; Setup and the
# uninstaller speak the language of the user's interface.
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
# The guide is UTF-8 with a byte-order mark, which Notepad needs to show its Japanese half.
check_eq "the guide starts with a UTF-8 byte-order mark" efbbbf \
  "$(head -c3 "$E2E_TMP/zip/README.txt" | od -An -tx1 | tr -d ' \n')"
# Each control of the dialog opens a line of the guide's key: a bar with its range and default as
# the settings table has them, an option pair with its choices.
row() {  # row KEY FORMAT: the table's row of KEY, \1 its default, \2 and \3 its range
  sed -n "s/^ *{\"$1\", \([0-9]*\), \([0-9]*\), \([0-9]*\),.*/$2/p" \
    "$VARENKO_SOURCE/common/settings_table.h"
}
entries=()
for bar in "00:Fireworks at once:同時に打ち上げる花火の最大数" "01:Smoke lasts \(s\):煙の消滅スパン" \
  "02:Wind:風速" "03:Ambient light:周囲の明るさ" "04:Stars:星の描画密度" \
  "05:Lens flare:レンズフレアの明るさ" "11:Sound effects:効果音"; do
  IFS=: read -r key en ja <<<"$bar"
  entries+=("$en +$(row "$key" '\2 to \3, default \1')" "$ja +$(row "$key" '\2～\3、初期値 \1')")
done
missing=() guide=$(tr -d '\r' <"$E2E_TMP/zip/README.txt")
for entry in "${entries[@]}" "Weather +Clear / Cloudy" "Lit smoke +Off / On" \
  "Music +None / Audio CD / MP3 or WAV" "Repeat track" About Defaults OK Cancel "天気 +星空 / 曇り" \
  "イルミネーション効果 +無 / 有" "BGM +無し / 音楽CD / MP3、WAV" 曲目をリピート URL 初期設定 設定 \
  ｷｬﾝｾﾙ; do
  grep -Eq "^  $entry( |,|、|$)" <<<"$guide" || missing+=("$entry")
done
check_eq "the guide explains every control of the dialog in both languages" "" "${missing[*]}"

sysdir="$WINEPREFIX/drive_c/windows/system32"
docdir="$WINEPREFIX/drive_c/Program Files/Varenko"
uninst_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varenko'
desktop_key='HKCU\Control Panel\Desktop'
record_key='HKCU\Software\Varenko'
reg_value() {  # the value's data, "-" where there is no such value
  local out
  out=$(wine reg query "$1" /v "$2" 2>/dev/null) || { echo -; return; }
  tr -d '\r' <<<"$out" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
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
  wine reg delete "$desktop_key" /v ScreenSaveActive /f >/dev/null 2>&1 || true
  wine reg delete "$record_key" /f >/dev/null 2>&1 || true
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
check "a Setup waits at its first page" wait_until 60 setup_window
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
choice() { echo "$(saver)|$(active)"; }  # the user's saver choice, "-" for a missing value
set_value() {  # set_value NAME DATA: "-" removes the value
  if [[ $2 == - ]]; then wine reg delete "$desktop_key" /v "$1" /f >/dev/null 2>&1 || true
  else wine reg add "$desktop_key" /v "$1" /d "$2" /f >/dev/null; fi
}
record_gone() { ! wine reg query "$record_key" >/dev/null 2>&1; }
rm -f "$sysdir/Varenko.dll"
check "the uninstaller removes the entry" uninstall
check "programs, guide and uninstaller are gone" nothing_installed
check_eq "a machine without a saver and ScreenSaveActive has neither again" "-|-" "$(choice)"
check_eq "the user's Varenko settings stay" 12 "$(reg_get 00)"
other='C:\windows\system32\other.scr'
check_eq "Setup /S again" 0 "$(install)"
set_value SCRNSAVE.EXE "$other"
check "the uninstaller ends" uninstall
check_eq "a saver the user chose after Setup stays" "$other|1" "$(choice)"
check "and Setup's record of the saver before it is gone" record_gone

# --- The saver before Setup comes back ---------------------------------------------------------
# Each case: the choice before Setup, then the choice after two Setups (the second finds Varenko
# the saver already and keeps what the first remembered) and the uninstall. Nothing to give back:
# Varenko chosen by hand before Setup, a path too long to be a saver; then the saver becomes none.
long="C:\\$(printf 'x%.0s' {1..1100}).scr"
for case in "$other|1 $other|1" "$other|- $other|-" "-|0 -|0" "$scr|1 -|1" "$long|1 -|1"; do
  before=${case% *} after=${case#* }
  set_value SCRNSAVE.EXE "${before%|*}"
  set_value ScreenSaveActive "${before#*|}"
  rcs="$(install) $(install)"
  uninstall && ended=ended || ended=hangs
  check_eq "saver before Setup ${before:0:40}: Setup twice, uninstall" "0 0 ended $after" \
    "$rcs $ended $(choice)"
done

# --- The language of the user's interface -------------------------------------------------------
# Wine takes the interface language from LANG where that locale exists: use_language builds both.
(use_language ja && use_language en)
# The English welcome page, read without the picture on its left, says what Setup does.
welcome_says() {
  import -window "$(find_window "Varenko $version Setup" | head -n1)" "$E2E_TMP/page.png"
  convert "$E2E_TMP/page.png" -gravity NorthEast -crop 66%x85%+0+0 +repage -colorspace Gray \
    -resize 300% "$E2E_TMP/page.png"
  tesseract "$E2E_TMP/page.png" - 2>/dev/null | tr '\n' ' ' |
    grep -q "makes it your current screen saver"
}
check_eq "Setup /S, for the uninstaller's window" 0 "$(install)"
for run in "ja_JP:$setup:セットアップ" "ja_JP:$docdir/Uninstall.exe:アンインストール" \
  "en_US:$setup:Setup" "en_US:$docdir/Uninstall.exe:Uninstall"; do
  IFS=: read -r l program word <<<"$run"
  env LOCPATH="$VARENKO_LINUX_BUILD/locale" LANG="$l.UTF-8" LC_ALL="$l.UTF-8" wine "$program" \
    >>"$E2E_TMP/wine.log" 2>&1 &
  E2E_PIDS+=("$!")
  check "$l: the window \"Varenko $version $word\"" \
    wait_until 60 window_exists "Varenko $version $word *"
  [[ $word != Setup ]] || check "it says Setup makes Varenko the saver" wait_until 30 welcome_says
  wineserver -k >/dev/null 2>&1 || true
done
check "and the uninstaller ends" uninstall

reg_delete_key
finish
