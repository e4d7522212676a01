#!/bin/sh
# Redraws resources/SM1.png and resources/SM2.png:  tools/helppics/make.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build="$root/build-helppics"
cmake -S "$here" -B "$build" >/dev/null
cmake --build "$build" -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/helppics" "$root/resources"
