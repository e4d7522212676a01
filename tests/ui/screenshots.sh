#!/bin/sh
# Screenshots of the kit under its own Xvfb:  screenshots.sh BUILD_DIR OUT_DIR
# Writes message_panel.png, combo.png, SM1.png and SM2.png into OUT_DIR, and fails when
# a help picture on screen differs by one pixel from the picture it shows.
set -eu
build=$1
out=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
showcase="$build/tests/ui/ui_showcase"
mkdir -p "$out"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"
xvfb=""
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a condition for up to 60 seconds (a loaded machine starts Qt slowly).
wait_for() {
    n=0
    while ! eval "$1"; do
        n=$((n + 1))
        [ "$n" -gt 1200 ] && { echo "timed out waiting for: $1" >&2; return 1; }
        sleep 0.05
    done
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
wait_for '[ -s "$work/display" ]'
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM

for view in message_panel combo SM1 SM2; do
    "$showcase" "$view" >"$work/$view.out" 2>"$work/$view.err" &
    app=$!
    wait_for 'grep -q ready "$work/$view.out"'
    size=$(sed -n 's/^ready \([0-9]*\) \([0-9]*\)$/\1x\2/p' "$work/$view.out")
    import -window root -crop "${size}+0+0" +repage "$out/$view.png"
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=""
    echo "$out/$view.png ($size)"
done

status=0
for pic in SM1 SM2; do
    convert "$source_dir/resources/$pic.png" -alpha off "$work/$pic-want.png"
    diff=$(compare -metric AE "$work/$pic-want.png" "$out/$pic.png" null: 2>&1 || true)
    if [ "$diff" != "0" ]; then
        echo "$pic on screen differs from resources/$pic.png: $diff pixels" >&2
        status=1
    fi
done
exit $status
