#!/usr/bin/env bash
# NORAK build entry point.
#   ./build.sh run    install what is missing, build, and start the program
#   ./build.sh test   install what is missing, build (plain and sanitized), run every test
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n qt6-qpa-plugins
    libqt6svg6 libgl-dev libxkbcommon-dev libjpeg-dev libpulse-dev libgtest-dev
    fonts-liberation fonts-dejavu-core
    gstreamer1.0-plugins-base gstreamer1.0-pulseaudio)
TEST_PACKAGES=(xvfb xauth desktop-file-utils appstream dpkg-dev pulseaudio)

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

configure_and_build() {  # dir, extra cmake args...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

case "${1:-}" in
    run)
        install_packages "${PACKAGES[@]}"
        configure_and_build build -DNORAK_BUILD_TESTS=OFF
        exec ./build/shell/norak
        ;;
    test)
        install_packages "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
        configure_and_build build
        (cd build && ctest --output-on-failure -j "$(nproc)")
        configure_and_build build-asan -DNORAK_SANITIZE=ON
        (cd build-asan && ctest --output-on-failure -j "$(nproc)")
        ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac
