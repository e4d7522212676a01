#!/usr/bin/env bash
# The engine (schedule, system, net) and its unit tests cross-built for
# Windows with mingw-w64 into build-win-engine/, then run under Wine through
# CTest: a throwaway Wine prefix, no Wine debug output, a private Xvfb for the
# tests that need a desktop. Then the whole program (scripts/build-windows) and
# its end-to-end run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh

# shellcheck disable=SC2034 # read by keeprun_setup
keeprun_packages=(
    g++-mingw-w64-x86-64-posix wine wine64 fonts-wine libz-mingw-w64-dev dpkg-dev cmake xvfb
    googletest
)
keeprun_setup

build=build-win-engine
deps=$build/deps

# The test servers use cpp-httplib's single header from Debian's source
# package (the installed one is split into a header and a Linux library).
if [ ! -f "$deps/httplib/httplib.h" ]; then
    keeprun_enable_sources cpp-httplib
    rm -rf "$deps/src" && mkdir -p "$deps/src" "$deps/httplib"
    (cd "$deps/src" && apt-get source -q cpp-httplib >/dev/null)
    cp "$(find "$deps/src" -maxdepth 2 -name httplib.h | head -n 1)" "$deps/httplib/"
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEEPRUN_ENGINE_ONLY=ON \
    -DKEEPRUN_HTTPLIB_DIR="$PWD/$deps/httplib" >/dev/null
cmake --build "$build" -j "$(nproc)"

prefix=$(mktemp -d /tmp/keeprun-wine-XXXXXX)
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One Wine server for the whole run, kept up between the tests; Wine's own
# services start first, away from CTest's output pipes (a test's listing
# would otherwise wait for them).
xvfb-run -a bash -c 'wineserver -p && wineboot -i >/dev/null 2>&1 &&
    cd "$1" && ctest --output-on-failure -j "$2" -L unit' _ "$build" "$(nproc)"

# keeprun.exe, its installer and the zip (build-win/), then the end-to-end run
# under Wine, driven by the Linux build's test against its keeprun-mirror:
# both programs get the same mirror addresses.
mirrors=$(keeprun_test_mirrors build)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DKEEPRUN_MIRRORS=$mirrors" >/dev/null
cmake --build build -j "$(nproc)" --target keeprun-mirror wine_e2e_test
KEEPRUN_MIRRORS=$mirrors scripts/build-windows
(cd build && ctest --output-on-failure -L wine)
