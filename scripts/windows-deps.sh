#!/usr/bin/env bash
# What the Windows cross-build needs, set up once per machine: the mingw-w64
# toolchain, Wine and NSIS from Debian, and Qt 6 and libpng for mingw built
# from Debian's own sources into a cache outside the repository.
#
# Run it: it prints KEEPRUN_QT_MINGW=<dir> and KEEPRUN_PNG_MINGW=<dir>.
# Source it: keeprun_windows_deps runs it and exports both.
# Pass both to the cross-build as
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DCMAKE_PREFIX_PATH="$KEEPRUN_QT_MINGW;$KEEPRUN_PNG_MINGW" ...
# (the toolchain file adds CMAKE_PREFIX_PATH to the find root and points
# Qt at the host tools in /usr).
# KEEPRUN_WIN_CACHE moves the cache (default /var/cache/keeprun).

if [[ "${BASH_SOURCE[0]}" != "$0" ]]; then
    keeprun_windows_deps_script=$(realpath "${BASH_SOURCE[0]}")
    keeprun_windows_deps() {
        local out line
        out=$(bash "$keeprun_windows_deps_script") || return
        while IFS= read -r line; do
            export "${line?}"
        done <<<"$out"
    }
    return 0
fi

set -euo pipefail

# Only the cache paths go to standard output; everything else is a log.
exec 3>&1 1>&2

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${KEEPRUN_WIN_CACHE:-/var/cache/keeprun}
toolchain=$repo/cmake/mingw-w64.cmake
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DFEATURE_optimize_size=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_opengl=OFF
    -DFEATURE_dynamicgl=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_ssl=OFF
    -DFEATURE_schannel=OFF
    -DFEATURE_direct2d=OFF
    -DFEATURE_directwrite3=OFF
    -DFEATURE_androiddeployqt=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_freetype=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_glib=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
)
png_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DPNG_SHARED=OFF
    -DPNG_STATIC=ON
    -DPNG_TESTS=OFF
    -DPNG_EXECUTABLES=OFF
)

install_packages() {
    # shellcheck source=scripts/setup.sh
    . "$repo/scripts/setup.sh"
    # shellcheck disable=SC2034 # read by keeprun_setup
    keeprun_packages=(
        g++-mingw-w64-x86-64-posix wine wine64 fonts-wine libz-mingw-w64-dev
        nsis libwine-dev dpkg-dev cmake ninja-build perl qt6-base-dev
        qt6-base-dev-tools libpng-dev
    )
    keeprun_setup
}

# Source versions to try, best first: the one matching the installed host
# package, then newer Debian revisions of the same upstream release (a
# mirror may have moved on, or may lack some pool files).
source_candidates() {
    local package=$1 host=$2 versions
    versions=$(apt-cache showsrc "$package" | sed -n 's/^Version: //p')
    grep -xF "$host" <<<"$versions" || true
    awk -v upstream="${host%-*}-" 'index($0, upstream) == 1' <<<"$versions" |
        grep -vxF "$host" | sort -rV
}

host_version() {
    dpkg-query -W -f='${Version}' "$1"
}

options_hash() {
    printf '%s\n' "$@" | sha256sum | cut -c1-8
}

# Fetches the source of a Debian package into a fresh folder under $work
# and prints the unpacked tree.
fetch_source() {
    local package=$1 host=$2 version dir
    for version in $(source_candidates "$package" "$host"); do
        dir=$(mktemp -d "$work/$package.XXXXXX")
        if (cd "$dir" && apt-get source -q "$package=$version") >&2; then
            echo "Using $package $version" >&2
            find "$dir" -mindepth 1 -maxdepth 1 -type d
            return
        fi
    done
    echo "no source of $package for $host" >&2
    return 1
}

# Debian's Qt source drops the bundled tablet headers. Wine's declare the
# same interface but lean on two macros of Wine's own windef.h.
add_wintab() {
    local dir=$1
    mkdir -p "$dir"
    cp /usr/include/wine/wine/windows/pktdef.h "$dir/"
    cp /usr/include/wine/wine/windows/wintab.h "$dir/wine-wintab.h"
    cat >"$dir/wintab.h" <<'EOF'
#ifndef WINELIB_NAME_AW
#define WINELIB_NAME_AW(func) func##W
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#ifndef API
#define API WINAPI
#endif
#include "wine-wintab.h"
EOF
}

# Configures, builds and installs one CMake source tree into $prefix; the
# stamp written last marks the cache complete.
build_into() {
    local prefix=$1 source=$2
    shift 2
    "${sudo[@]}" rm -rf "$prefix"
    "${sudo[@]}" mkdir -p "$prefix"
    "${sudo[@]}" chown "$(id -u):$(id -g)" "$prefix"
    nice -n 10 cmake -S "$source" -B "$source/build-mingw" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
    nice -n 10 cmake --build "$source/build-mingw" -j2
    cmake --install "$source/build-mingw"
    date -u +%FT%TZ >"$prefix/.complete"
}

install_packages
keeprun_enable_sources qt6-base

qt_version=$(host_version qt6-base-dev)
png_version=$(host_version libpng-dev)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
qt_options+=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake")
qt_dir=$cache/qt6-mingw-$qt_version-$(options_hash "${qt_options[@]}")
png_dir=$cache/libpng-mingw-$png_version-$(options_hash "${png_options[@]}")

"${sudo[@]}" mkdir -p "$cache"
"${sudo[@]}" chown "$(id -u):$(id -g)" "$cache"
# Two test runs may start at once: one builds, the other waits for it.
exec 9>"$cache/.lock"
flock 9

work=$(mktemp -d "$cache/work.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ ! -f "$qt_dir/.complete" ]; then
    echo "Building Qt $qt_version for mingw into $qt_dir (about 15 minutes)"
    source=$(fetch_source qt6-base "$qt_version")
    add_wintab "$source/src/3rdparty/wintab"
    build_into "$qt_dir" "$source" "${qt_options[@]}"
fi
if [ ! -f "$png_dir/.complete" ]; then
    echo "Building libpng $png_version for mingw into $png_dir"
    source=$(fetch_source libpng1.6 "$png_version")
    build_into "$png_dir" "$source" "${png_options[@]}"
fi

echo "KEEPRUN_QT_MINGW=$qt_dir" >&3
echo "KEEPRUN_PNG_MINGW=$png_dir" >&3
