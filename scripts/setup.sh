#!/usr/bin/env bash
# Installs the Debian packages keeprun needs, when any is missing.
# Sourced by ./run (keeprun_setup: building and running) and by ./test and
# ./fuzz (keeprun_setup_tests: the test tools as well).
keeprun_build_packages=(
    cmake g++ pkg-config qt6-base-dev qt6-translations-l10n libcurl4-openssl-dev
    libpng-dev zlib1g-dev libx11-dev libxtst-dev libxi-dev libsm-dev libgtest-dev libgmock-dev
    libbenchmark-dev libcpp-httplib-dev librsvg2-bin fonts-wqy-microhei
    xvfb xdotool imagemagick
)
keeprun_test_packages=(
    xclip openbox trayer x11-utils faketime strace supervisor clang libclang-rt-14-dev
    clang-format dpkg-dev file lintian desktop-file-utils appstream
)

keeprun_install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# A script's own extra packages go in keeprun_packages before it calls this.
# shellcheck disable=SC2154 # set by the script that sources this, if at all
keeprun_setup() {
    keeprun_install_missing "${keeprun_build_packages[@]}" ${keeprun_packages[@]+"${keeprun_packages[@]}"}
}

keeprun_setup_tests() {
    keeprun_install_missing "${keeprun_build_packages[@]}" "${keeprun_test_packages[@]}"
}

# apt-get source needs deb-src entries: add them for the Debian mirror already
# configured, in a file of our own, when `package` has no source yet.
keeprun_enable_sources() {
    apt-cache showsrc "$1" 2>/dev/null | grep -q '^Package:' && return 0
    local own=/etc/apt/sources.list.d/keeprun-deb-src
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    # shellcheck disable=SC2016 # apt's own format string
    if ! apt-get indextargets --format '$(CREATED_BY)' | grep -qx Sources; then
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
                "${sudo[@]}" tee "$own.sources" >/dev/null
        else
            sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list |
                "${sudo[@]}" tee "$own.list" >/dev/null
        fi
    fi
    "${sudo[@]}" apt-get update -q
}

# The mirrors a test build asks: those its build folder ($1) was configured
# with, else the development ones on this machine (keeprun-mirror's ports).
keeprun_test_mirrors() {
    local cached
    cached=$(sed -n 's/^KEEPRUN_MIRRORS:STRING=//p' "$1/CMakeCache.txt" 2>/dev/null || true)
    printf '%s' "${cached:-$(cat cmake/dev-mirrors.txt)}"
}
