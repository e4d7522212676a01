#!/usr/bin/env bash
# A package never asks the development mirrors on 127.0.0.1: without
# KEEPRUN_MIRRORS the keeprun_deb target and scripts/build-windows refuse.
#
#   tests/package/refused_without_mirrors.sh SOURCE_FOLDER
set -euo pipefail
[ $# -eq 1 ] || { sed -n '5p' "$0" | sed 's/^# *//' >&2; exit 2; }
source=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "$1" >&2
    cat "$2" >&2
    exit 1
}

cmake -S "$source" -B "$tmp/build" >"$tmp/configure.log" 2>&1 ||
    fail "a development build configures without KEEPRUN_MIRRORS" "$tmp/configure.log"
if cmake --build "$tmp/build" --target keeprun_deb >"$tmp/deb.log" 2>&1; then
    fail "keeprun_deb built a package with the development mirrors" "$tmp/deb.log"
fi
grep -q -- "-DKEEPRUN_MIRRORS=" "$tmp/deb.log" || fail "keeprun_deb does not say why" "$tmp/deb.log"
if compgen -G "$tmp/build/*.deb" >/dev/null; then fail "a package was left behind" /dev/null; fi

if env -u KEEPRUN_MIRRORS "$source/scripts/build-windows" >"$tmp/windows.log" 2>&1; then
    fail "scripts/build-windows ran without KEEPRUN_MIRRORS" "$tmp/windows.log"
fi
grep -q "KEEPRUN_MIRRORS" "$tmp/windows.log" || fail "build-windows does not say why" "$tmp/windows.log"
