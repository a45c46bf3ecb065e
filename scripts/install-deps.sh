#!/usr/bin/env bash
# Installs every Debian package Zintar needs to build, run, test and benchmark.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

PACKAGES=(
    # build
    build-essential cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libx11-dev libxext-dev libxfixes-dev
    libsndfile1-dev libsdl2-dev
    # tests and benchmarks
    googletest libgtest-dev libbenchmark-dev
    xvfb xauth openbox tint2 xdotool x11-utils x11-xserver-utils x11-apps wmctrl xcompmgr
    faketime sound-theme-freedesktop
    fonts-dejavu-core
    # libFuzzer targets (scripts/fuzz.sh): clang and its fuzzer runtime
    clang libclang-rt-14-dev
    # checks of the menu entry, the AppStream data and the icon pictures
    desktop-file-utils appstream file
    # the .deb: dpkg-shlibdeps works out its dependencies, lintian checks it
    dpkg-dev lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -eq 0 ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
