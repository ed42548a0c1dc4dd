#!/usr/bin/env bash
# Screenshots of the front window under a virtual X server, for checking its look by eye.
#   tools/front-screenshot.sh [build-dir] [out-dir]
# Builds tools/front_preview in the build folder, with the tools turned on, then shows each page
# and grabs the whole screen into out-dir/front-<page>.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-/tmp/norak-shots}
mkdir -p "$out"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORAK_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target front_preview
exe=$build/tools/front_preview/front_preview

for page in version autores about; do
    xvfb-run -a -s "-screen 0 640x480x24" bash -c "
        QT_QPA_PLATFORM=xcb timeout 15 '$exe' $page 4 &
        sleep 2
        import -window root '$out/front-$page.png'
        wait"
    echo "$out/front-$page.png"
done
