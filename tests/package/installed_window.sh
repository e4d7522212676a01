#!/usr/bin/env bash
# Unpacks the .deb into a throwaway root, starts the installed keeprun-mirror
# with its installed sample and the installed keeprun under an Xvfb of its own
# with isolated XDG folders, and waits for the main window with the sample's title.
#
#   tests/package/installed_window.sh PACKAGE.deb
set -euo pipefail
[ $# -eq 1 ] || { sed -n '6p' "$0" | sed 's/^# *//' >&2; exit 2; }
deb=$1
tmp=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "$1" >&2
    for log in "$tmp"/*.log; do echo "--- $log" >&2; cat "$log" >&2; done
    exit 1
}
# Polls COMMAND... every 0.1 s until it succeeds or SECONDS_LIMIT pass.
wait_for() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

root=$tmp/root
dpkg -x "$deb" "$root"
mkdir -p "$tmp"/{data,config,home,bin} && mkdir -m 700 "$tmp/runtime"
# Links keeprun opens go to this stand-in, never to a browser.
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s/xdg-open.txt"\n' "$tmp" >"$tmp/bin/xdg-open"
chmod +x "$tmp/bin/xdg-open"

"$root/usr/bin/keeprun-mirror" >"$tmp/mirror.log" 2>&1 &
pids+=($!)
wait_for 10 grep -qs '^ready' "$tmp/mirror.log" || fail "keeprun-mirror did not start"

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 20 number <&"$displayfd" || fail "Xvfb did not start"

env -i PATH="$tmp/bin:/usr/bin:/bin" HOME="$tmp/home" LANG=C.UTF-8 DISPLAY=":$number" \
    XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime" \
    "$root/usr/bin/keeprun" >"$tmp/keeprun.log" 2>&1 &
keeprun=$!
pids+=($keeprun)

title=$(iconv -f GB18030 -t UTF-8 "$root/usr/share/keeprun/mirror/list.txt" |
    sed -n 's/^\[biaoti\]\(.*\)\[biaoti\]\r\{0,1\}$/\1/p')
[ -n "$title" ] || fail "no [biaoti] in the installed sample"
main_window_shown() {
    kill -0 "$keeprun" 2>/dev/null || fail "keeprun ended"
    DISPLAY=":$number" xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1
}
wait_for 60 main_window_shown || fail "no visible window \"$title\" within 60 s"
echo "installed keeprun shows \"$title\""
