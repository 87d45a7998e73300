#!/usr/bin/env bash
# make_deb.sh BUILD_DIR VERSION YEAR OUTPUT.deb: the Debian package of the Linux renderer, made
# from a built tree with dpkg-deb; the Linux preset's `package` target runs it. The package holds
# the hack, its settings description, its manual page and the Debian copyright and changelog; its
# dependencies are those dpkg-shlibdeps computes from the binary.
set -euo pipefail
if (($# != 4)); then
  echo "usage: tools/make_deb.sh BUILD_DIR VERSION YEAR OUTPUT.deb" >&2
  exit 2
fi
build=$1 version=$2 year=$3 output=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
texts="$source_dir/resources/debian"
work=$(mktemp -d "${TMPDIR:-/tmp}/varenko-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
root="$work/root"
doc="$root/usr/share/doc/varenko"
man="$root/usr/share/man/man6"
# fill FILE: a text of resources/debian with its @NAME@ fields filled in.
fill() {
  sed -e "s/@VERSION@/$version/g" -e "s/@YEAR@/$year/g" -e "s/@INSTALLED_SIZE@/${size:-}/g" \
    -e "s/@DEPENDS@/${depends:-}/g" "$texts/$1"
}

umask 022
DESTDIR="$root" cmake --install "$build" --prefix /usr --strip >"$work/install.log"
mkdir -p "$root/DEBIAN" "$doc" "$man"
fill copyright.in >"$doc/copyright"
# Debian compresses manual pages and changelogs with gzip -9n (no name or time stamp inside).
fill changelog.in | gzip -9n >"$doc/changelog.gz"
fill varenko.6 | gzip -9n >"$man/varenko.6.gz"

# dpkg-shlibdeps reads the package list of a source tree; a one-package stub serves.
mkdir -p "$work/src/debian"
printf 'Source: varenko\n\nPackage: varenko\nArchitecture: amd64\n' >"$work/src/debian/control"
depends=$(cd "$work/src" && dpkg-shlibdeps -O "$root/usr/libexec/xscreensaver/varenko" |
  sed -n 's/^shlibs:Depends=//p')
[[ -n "$depends" ]] || { echo "make_deb.sh: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

(cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
size=$(du -k -s --apparent-size "$root/usr" | cut -f1)
fill control.in >"$root/DEBIAN/control"
mkdir -p "$(dirname "$output")"
rm -f "$output"
dpkg-deb --root-owner-group -Zxz --build "$root" "$output" >/dev/null
echo "made $output"
