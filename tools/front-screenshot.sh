#!/usr/bin/env bash
# Screenshots of the front window under a virtual X server, for checking its look by eye.
#   tools/front-screenshot.sh [build-dir] [out-dir]
# Builds tools/front_preview against the libraries of an existing build (norak_shell and what it
# links), then shows each page and grabs the whole screen into out-dir/front-<page>.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-/tmp/norak-shots}
mkdir -p "$out"

cmake --build "$build" --target norak_shell >/dev/null
resources=$(find "$build/assets" -name '*.o' -path '*rc*' | tr '\n' ' ')
g++ -std=c++20 -fPIC -O1 -I. $(pkg-config --cflags Qt6Widgets) \
    tools/front_preview/main.cpp -o "$build/front_preview" \
    "$build/shell/libnorak_shell.a" "$build/platform/libnorak_platform.a" \
    "$build/results/libnorak_results.a" "$build/engine/libnorak_engine.a" \
    "$build/assets/libnorak_assets.a" $resources \
    $(pkg-config --libs Qt6Widgets Qt6Multimedia) -ljpeg

for page in version autores about; do
    xvfb-run -a -s "-screen 0 640x480x24" bash -c "
        QT_QPA_PLATFORM=xcb timeout 15 '$build/front_preview' $page 4 &
        sleep 2
        import -window root '$out/front-$page.png'
        wait"
    echo "$out/front-$page.png"
done
