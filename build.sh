#!/usr/bin/env bash
# NORAK build entry point.
#   ./build.sh run    install what is missing, build the program in build/, and start it
#   ./build.sh test   install what is missing, build with the tests (build/ plain, build-asan/
#                     sanitized) and run every test in both; fails when a build runs no test
#   ./build.sh deps   install only what the build needs (for the manual cmake --install steps)
# The commands may be given in any order: each one configures its folders with every option it
# relies on, so a folder left by the other command is switched back before it is built.
set -euo pipefail
cd "$(dirname "$0")"

# What the program needs to build. qt6-base-dev brings Qt DBus and Qt PrintSupport;
# libasound2-dev is the ALSA output used when no sound server runs; libpulse-dev the sound
# server's (PulseAudio, or PipeWire's PulseAudio service); libqt6sql6-sqlite the SQLite driver of
# the season's history, libqt6sql6-psql the PostgreSQL driver of the club's server, and
# libsecret-1-dev the desktop's secret service that keeps its password, libsqlite3-dev and libpq-dev the
# libraries beneath Qt's drivers (the club sync moves received rows through them); qt6-websockets-dev the
# remote's WebSocket and libqrencode-dev its QR code. No GStreamer or FFmpeg is involved.
PACKAGES=(build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-qpa-plugins
    libqt6svg6 libqt6sql6-sqlite libqt6sql6-psql libsecret-1-dev libgl-dev libxkbcommon-dev libjpeg-dev libpulse-dev libasound2-dev libgtest-dev
    qt6-websockets-dev libqrencode-dev libsqlite3-dev libpq-dev
    fonts-liberation fonts-dejavu-core)
# What the tests need beyond that: a virtual display, a private session bus, the PDF tools
# that read a report back, a second font set the suite is checked under, a private sound
# server, and for the package check (tools/check_package.sh) the validators, dpkg tools and
# lintian; and the voice and sound tools with which the test renders the spoken cues again and
# compares them with assets/voice (tools/gen_voice.sh); a PostgreSQL server, which the club's
# tests start in a scratch folder of their own (the package's own cluster is not used); and the
# browsers with which the remote's end-to-end tests play a phone: Chromium with its driver and
# Selenium, and Firefox, driven over the WebDriver BiDi it serves itself; and GNOME Keyring, the
# secret service the club password's test starts on a bus of its own.
TEST_PACKAGES=(xvfb xauth dbus poppler-utils fonts-urw-base35 pulseaudio
    desktop-file-utils appstream dpkg-dev lintian espeak-ng sox postgresql
    chromium chromium-driver python3-selenium firefox-esr gnome-keyring)

# Prints why the packages cannot be installed and what to ask for, then stops.
cannot_install() {  # reason, packages...
    local reason=$1
    shift
    cat >&2 <<EOF

build.sh: cannot install the missing packages: $reason.
Installing Debian packages needs administrator rights (root, or sudo rights for $(id -un)).
Ask an administrator to install these packages:

    $*

for example with:

    apt-get install --no-install-recommends $*

then run this command again; it installs nothing once they are there.
EOF
    exit 1
}

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || cannot_install "you are not root and sudo is not installed" "${missing[@]}"
        # Without a cached sudo ticket, ask for the password once here, where a refusal can
        # still be explained, rather than in the middle of apt-get.
        if ! sudo -n true 2>/dev/null; then
            (: </dev/tty) 2>/dev/null || cannot_install "sudo wants a password and there is no terminal to type it" "${missing[@]}"
            echo "Installing packages needs sudo: ${missing[*]}"
            sudo -v || cannot_install "sudo did not give $(id -un) administrator rights" "${missing[@]}"
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

configure_and_build() {  # dir, cmake options...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

run_tests() {  # dir
    # --no-tests=error: a folder configured without its tests must fail, not pass empty.
    ctest --test-dir "$1" --output-on-failure --no-tests=error -j "$(nproc)"
}

case "${1:-}" in
    run)
        install_packages "${PACKAGES[@]}"
        configure_and_build build -DNORAK_SANITIZE=OFF -DNORAK_BUILD_TESTS=OFF
        exec ./build/shell/norak
        ;;
    test)
        install_packages "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
        configure_and_build build -DNORAK_SANITIZE=OFF -DNORAK_BUILD_TESTS=ON
        run_tests build
        configure_and_build build-asan -DNORAK_SANITIZE=ON -DNORAK_BUILD_TESTS=ON
        run_tests build-asan
        ;;
    deps)
        install_packages "${PACKAGES[@]}"
        ;;
    *)
        echo "usage: $0 run|test|deps" >&2
        exit 2
        ;;
esac
