#!/usr/bin/env bash
# The Debian package: its control fields and files, the hack unpacked from it passing the
# XScreenSaver test, its manual page rendered by man; as root, dpkg -i, a run of the installed
# hack and dpkg --purge leaving no file behind.
source "$(dirname "$0")/../../tools/e2e/lib.sh"

version=$(sed -n 's/^project(Varenko VERSION \([0-9.]*\).*/\1/p' "$VARENKO_SOURCE/CMakeLists.txt")
deb="$VARENKO_LINUX_BUILD/packages/varenko_${version}_amd64.deb"
if [[ ! -f "$deb" ]]; then
  fail "$deb is not built (cmake --build --preset linux --target package)"
  finish
fi

field() { dpkg-deb -f "$deb" "$1"; }
check_eq "package name" varenko "$(field Package)"
check_eq "version" "$version" "$(field Version)"
check_eq "architecture" amd64 "$(field Architecture)"
check_eq "recommends XScreenSaver" xscreensaver "$(field Recommends)"
depends=$(field Depends)
depends_on() { [[ ", $depends," =~ ", $1"[\ ,] ]]; }
for library in libc6 libgl1 libx11-6 libpng16-16 libstdc++6; do
  check "the dependencies computed from the binary name $library ($depends)" depends_on "$library"
done
check "the installed size is given in KiB" test "$(field Installed-Size)" -gt 100

files="./usr/libexec/xscreensaver/varenko ./usr/share/doc/varenko/changelog.gz
./usr/share/doc/varenko/copyright ./usr/share/man/man6/varenko.6.gz
./usr/share/xscreensaver/config/varenko.xml"
check_eq "the package holds exactly its files" "$(tr ' ' '\n' <<<"$files" | sort)" \
  "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)"
check "every file is owned by root" bash -c "dpkg-deb -c '$deb' | awk '\$2 != \"root/root\" {exit 1}'"
check_eq "the hack is executable by all" -rwxr-xr-x \
  "$(dpkg-deb -c "$deb" | awk '$6 == "./usr/libexec/xscreensaver/varenko" {print $1}')"

if command -v lintian >/dev/null; then
  check "lintian finds no error" lintian --fail-on error "$deb"
fi

unpacked="$E2E_TMP/unpacked"
dpkg-deb -x "$deb" "$unpacked"
hack="$unpacked/usr/libexec/xscreensaver/varenko"
check_eq "the hack tells its version" "varenko $version" "$("$hack" --version)"
check "the copyright file names the licence" grep -q "^License: Expat" \
  "$unpacked/usr/share/doc/varenko/copyright"
page=$(MANWIDTH=80 man -l "$unpacked/usr/share/man/man6/varenko.6.gz" 2>"$E2E_TMP/man.err")
check "man renders the page without warnings" test ! -s "$E2E_TMP/man.err"
for heading in NAME SYNOPSIS OPTIONS FILES XSCREENSAVER "EXIT STATUS"; do
  check "the page has $heading" grep -q "^$heading" <<<"$page"
done
# Every option the program takes is on the page.
for option in $("$hack" --help | grep -o -- '--[a-z-]*' | sort -u); do
  check "the page explains $option" grep -q -- "$option" <<<"$page"
done

# The unpacked hack under the real XScreenSaver, by the test that checks the built one.
check "the packaged hack passes the XScreenSaver test" \
  env VARENKO_HACK_ROOT="$unpacked/usr" bash "$VARENKO_SOURCE/tests/e2e/linux_xscreensaver.sh"

# As root: install, run, purge. Only where no varenko is on the system already, which this would
# replace and then remove; dpkg's lock may be held a while by another installation.
installed=/usr/libexec/xscreensaver/varenko
if [[ $(id -u) -eq 0 && ! -e "$installed" ]] && ! dpkg -s varenko >/dev/null 2>&1; then
  dpkg_retry() {
    local i
    for i in $(seq 60); do
      dpkg "$@" >>"$E2E_TMP/dpkg.log" 2>&1 && return 0
      sleep 2
    done
    cat "$E2E_TMP/dpkg.log" >&2
    return 1
  }
  check "dpkg -i installs the package" dpkg_retry -i "$deb"
  listed=$(dpkg -L varenko 2>/dev/null)
  check "the hack is installed where XScreenSaver looks" test -x "$installed"
  start_xvfb 320x240x24
  check "the installed hack runs" timeout 60 "$installed" --window 64x64 --fixed-dt 0.04 --frames 3
  check "dpkg --purge removes it" dpkg_retry --purge varenko
  left=$(while read -r path; do if [[ -f "$path" || -L "$path" ]]; then echo "$path"; fi; done \
    <<<"$listed")
  check_eq "no file of the package is left" "" "$left"
  check "dpkg knows nothing of it" bash -c "! dpkg -s varenko >/dev/null 2>&1"
else
  echo "skipped: dpkg -i and --purge (needs root and no varenko on the system)"
fi
finish
