#!/usr/bin/env bash
# The Debian package: control fields and files, lintian, its manual page, the hack unpacked from it
# under XScreenSaver; as root, dpkg -i, a run, and dpkg --purge leaving no file behind.
source "$(dirname "$0")/../../tools/e2e/lib.sh"

version=$(sed -n 's/^project(Varenko VERSION \([0-9.]*\).*/\1/p' "$VARENKO_SOURCE/CMakeLists.txt")
deb="$VARENKO_LINUX_BUILD/packages/varenko_${version}_amd64.deb"
[[ -f "$deb" ]] || { fail "$deb is not built (the linux preset's package target)"; finish; }

check_eq "control fields" "$(printf '%s\n' "Package: varenko" "Version: $version" \
  "Architecture: amd64" "Recommends: xscreensaver")" \
  "$(dpkg-deb -f "$deb" Package Version Architecture Recommends)"
# Computed from the binary: one package for each library it links, the first of alternatives.
check_eq "dependencies" "libc6 libgcc-s1 libgl1 libglu1-mesa libpng16-16 libpulse0 libstdc++6 libx11-6 libxinerama1 libxrandr2" \
  "$(dpkg-deb -f "$deb" Depends | sed 's/ *([^)]*)//g; s/ *|[^,]*//g; s/, */ /g')"

check_eq "exactly its files, owned by root, the hack executable by all" "$(printf '%s\n' \
  "-rwxr-xr-x root/root ./usr/libexec/xscreensaver/varenko" \
  "-rw-r--r-- root/root ./usr/share/doc/varenko/changelog.gz" \
  "-rw-r--r-- root/root ./usr/share/doc/varenko/copyright" \
  "-rw-r--r-- root/root ./usr/share/man/man6/varenko.6.gz" \
  "-rw-r--r-- root/root ./usr/share/xscreensaver/config/varenko.xml")" \
  "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $2, $6}' | sort -k3)"

! command -v lintian >/dev/null || check "lintian finds no error" lintian --fail-on error "$deb"

unpacked="$E2E_TMP/unpacked"
dpkg-deb -x "$deb" "$unpacked"
hack="$unpacked/usr/libexec/xscreensaver/varenko"
check_eq "the hack tells its version" "varenko $version" "$("$hack" --version)"
page=$(MANWIDTH=80 man -l "$unpacked/usr/share/man/man6/varenko.6.gz" 2>"$E2E_TMP/man.err")
check "man renders the page without warnings" test ! -s "$E2E_TMP/man.err"
sections="NAME SYNOPSIS DESCRIPTION OPTIONS FILES XSCREENSAVER EXIT STATUS SEE ALSO COPYRIGHT"
check_eq "the page's sections" "$sections" "$(grep -E '^[A-Z]{2}' <<<"$page" | sed 1d | paste -sd' ')"
for option in $("$hack" --help | grep -o -- '--[a-z-]*' | sort -u); do
  check "the page explains $option" grep -q -- "$option" <<<"$page"
done

# The unpacked hack under the real XScreenSaver, by the test that checks the built one.
check "the packaged hack passes the XScreenSaver test" \
  env VARENKO_HACK_ROOT="$unpacked/usr" bash "$VARENKO_SOURCE/tests/e2e/linux_xscreensaver.sh"

# As root: install, run, purge; not over a varenko on the system, which this would remove.
installed=/usr/libexec/xscreensaver/varenko
if [[ $(id -u) -eq 0 && ! -e "$installed" ]] && ! dpkg -s varenko >/dev/null 2>&1; then
  dpkg_retry() {  # dpkg's lock may be held a while by another installation
    for _ in $(seq 60); do dpkg "$@" >>"$E2E_TMP/dpkg.log" 2>&1 && return; sleep 2; done; false
  }
  check "dpkg -i installs the package" dpkg_retry -i "$deb"
  listed=$(dpkg -L varenko 2>/dev/null)
  start_xvfb 320x240x24
  check "the installed hack runs" timeout 60 "$installed" --window 64x64 --fixed-dt 0.04 --frames 3
  check "dpkg --purge removes it" dpkg_retry --purge varenko
  left=$(for path in $listed; do [[ ! -f "$path" && ! -L "$path" ]] || echo "$path"; done)
  check_eq "no file of the package is left" "" "$left"
  check "dpkg knows nothing of it" bash -c "! dpkg -s varenko >/dev/null 2>&1"
else
  echo "skipped: dpkg -i and --purge (needs root and no varenko on the system)"
fi
finish
