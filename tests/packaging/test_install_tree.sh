#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the tree, and starts the installed
# program once as a user would: its data goes to the user's data folder, copied from the
# template, and nothing is written under the prefix.
# Usage: test_install_tree.sh BUILD_FOLDER APP_ID
set -euo pipefail
build=$1
id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/vpl" ] && [ -x "$prefix/bin/vpl-cli" ] || fail "no executables"
template=$prefix/share/vpl/VPLData.mdb
[ -f "$template" ] || fail "no data file template"
[ "$(stat -c %a "$template")" = 444 ] || fail "the template is not read-only"
desktop-file-validate "$prefix/share/applications/$id.desktop" ||
  fail "desktop entry rejected"
icon=$prefix/share/icons/hicolor/scalable/apps/$id.svg
grep -q '<svg' "$icon" || fail "no scalable icon"
grep -q "^Icon=$id\$" "$prefix/share/applications/$id.desktop" ||
  fail "the desktop entry names another icon"
# A data file opened from the file manager: the entry takes the file, and the type it
# declares is known to the MIME database built from the installed package file.
grep -q '^Exec=vpl %f$' "$prefix/share/applications/$id.desktop" || fail "no file in Exec"
mime=$prefix/share/mime
update-mime-database "$mime" >/dev/null 2>&1 || fail "MIME package rejected"
grep -q '^application/x-vpl-decision:\*\.mdb$' "$mime/globs" ||
  fail "the data files' type is not declared"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "AppStream data rejected"

touch "$scratch/installed"
start() {
  XDG_DATA_HOME=$scratch/data QT_QPA_PLATFORM=offscreen VPL_EXIT_WHEN_SHOWN=1 \
    VPL_TEST_MESSAGE_LOG=$scratch/messages "$prefix/bin/vpl" 2>/dev/null
}
start
user=$scratch/data/vpl/VPLData.mdb
cmp -s "$template" "$user" || fail "the template was not copied to the user's data folder"
[ ! -s "$scratch/messages" ] || fail "start-up said: $(cat "$scratch/messages")"
# The command line finds the same data file, not one of its own.
XDG_DATA_HOME=$scratch/data "$prefix/bin/vpl-cli" analyse >/dev/null || fail "vpl-cli analyse"
[ "$(ls "$scratch/data")" = vpl ] || fail "another data folder: $(ls "$scratch/data")"
written=$(find "$prefix" -newer "$scratch/installed")
[ -z "$written" ] || fail "written under the prefix: $written"
echo "Installed tree and first start: OK"
