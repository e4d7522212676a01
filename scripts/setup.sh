#!/usr/bin/env bash
# Installs the Debian packages keeprun needs, when any is missing.
# Sourced by ./run and ./test.
keeprun_packages=(
    cmake g++ pkg-config qt6-base-dev qt6-translations-l10n libcurl4-openssl-dev
    libpng-dev zlib1g-dev libx11-dev libxtst-dev libxi-dev libgtest-dev libgmock-dev
    libbenchmark-dev libcpp-httplib-dev xvfb xdotool xclip openbox x11-utils
    faketime fonts-wqy-microhei clang-format imagemagick clang libclang-rt-14-dev
    strace supervisor
)

keeprun_setup() {
    local missing=()
    local p
    for p in "${keeprun_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}
