#!/usr/bin/env bash
# Builds the Debian package in the build folder and checks it: control data and contents,
# the dependencies, the desktop entry and AppStream data as unpacked, lintian, and an
# upgrade over an installed package with a user's data in place.
# Usage: scripts/package-check.sh [BUILD_FOLDER]   (default: build, already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=org.example.vpl
fail() { echo "package-check: $*" >&2; exit 1; }

rm -f "$build"/vpl_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/vpl_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single package"
deb=${debs[0]}
echo "Package: $deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
for path in usr/bin/vpl usr/bin/vpl-cli usr/share/vpl/VPLData.mdb usr/share/applications/$id.desktop \
  usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/metainfo/$id.metainfo.xml \
  usr/share/doc/vpl/copyright; do
  grep -q " \./$path\$" <<<"$contents" || fail "missing /$path"
done
grep -q -- '-r--r--r-- .* \./usr/share/vpl/VPLData.mdb$' <<<"$contents" ||
  fail "the template is not read-only"
# No maintainer scripts: installing or upgrading touches nothing but the package's files.
dpkg-deb --control "$deb" "$scratch/control"
[ "$(ls "$scratch/control" | tr '\n' ' ')" = "control md5sums " ] ||
  fail "unexpected control files: $(ls "$scratch/control")"

# Every dependency names a package this machine has: the build linked against them.
depends=$(dpkg-deb --field "$deb" Depends Recommends | sed 's/^[A-Za-z]*: //' | tr ',' '\n' |
  sed 's/([^)]*)//; s/ //g' | grep -v '^$' | sort -u)
for p in $depends; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    fail "dependency $p is not a package installed here"
done
grep -qx libsqlcipher0 <<<"$depends" || fail "no dependency on SQLCipher"
grep -qx libqt6printsupport6 <<<"$depends" || fail "no dependency on Qt's printing"

dpkg -x "$deb" "$scratch/unpacked"
desktop-file-validate "$scratch/unpacked/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$scratch/unpacked/usr/share/metainfo/$id.metainfo.xml"

# Accepted for a package built from the source tree rather than by Debian's tooling:
#  no-changelog: the history is the repository's; there is no Debian changelog to ship.
#  no-manual-page: a window program whose one argument, a data file, the README documents.
#  non-standard-file-perm: the data file template is read-only (0444) on purpose, so that
#    nothing, not even a program run as root, edits the copy every user starts from.
lintian --fail-on error,warning \
  --suppress-tags no-changelog,no-manual-page,non-standard-file-perm "$deb"

# An upgrade over an installed package, with the user's data in place: dpkg installs
# into a scratch root, and the program runs from there with a scratch user data folder.
root=$scratch/root
mkdir -p "$root"/var/lib/dpkg/{info,updates,triggers}
touch "$root/var/lib/dpkg/status"
dpkg_install() { dpkg --root="$root" --force-depends -i "$1" >/dev/null 2>&1 || fail "dpkg -i $1"; }
start() {
  XDG_DATA_HOME=$scratch/data QT_QPA_PLATFORM=offscreen VPL_EXIT_WHEN_SHOWN=1 \
    VPL_TEST_MESSAGE_LOG=$scratch/messages "$root/usr/bin/vpl" 2>/dev/null
  [ ! -s "$scratch/messages" ] || fail "start-up said: $(cat "$scratch/messages")"
}
dpkg_install "$deb"
start
user=$scratch/data/vpl/VPLData.mdb
[ -f "$user" ] || fail "the first start made no data file for the user"
# The user's data from now on: a data file of its own, unlike the template.
"$build/tools/vpl_make_datafile" "$scratch/decisions.mdb" >/dev/null
cp "$scratch/decisions.mdb" "$user"
dpkg-deb -R "$deb" "$scratch/newer"
sed -i 's/^Version: .*/&+1/' "$scratch/newer/DEBIAN/control"
dpkg-deb --root-owner-group -b "$scratch/newer" "$scratch/newer.deb" >/dev/null
dpkg_install "$scratch/newer.deb"
start
cmp -s "$scratch/decisions.mdb" "$user" || fail "the upgrade changed the user's data file"
echo "package-check: OK"
