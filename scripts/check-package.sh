#!/usr/bin/env bash
# Checks the .deb as a distribution would: lintian (errors and warnings fail),
# and the launcher, AppStream data and icons it installs.
#
#   scripts/check-package.sh PACKAGE.deb
set -euo pipefail
[ $# -eq 1 ] || { sed -n '5p' "$0" | sed 's/^# *//' >&2; exit 2; }
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

echo "== lintian"
lintian --fail-on error,warning --info "$deb"

app_id=io.github.keeprun.keeprun
desktop=$root/usr/share/applications/$app_id.desktop
echo "== desktop-file-validate"
desktop-file-validate "$desktop"

echo "== appstreamcli"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
# The tree: the metainfo's launcher is the installed .desktop.
appstreamcli validate-tree --no-net "$root"

echo "== icons"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$icon" = "$app_id" ] || { echo "the launcher names icon \"$icon\"" >&2; exit 1; }
for size in 16 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
    got=$(identify -format '%wx%h' "$png")
    [ "$got" = "${size}x$size" ] || { echo "$png is $got" >&2; exit 1; }
done
echo "icon $icon at 16 to 256 px"
