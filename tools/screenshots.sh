#!/usr/bin/env bash
# Takes the README's screenshots (docs/screenshots/*.png) from the real windows under Xvfb:
#   tools/screenshots.sh [build-dir]          (default: build)
# Turns the tools on in the build folder, builds tools/screenshots and runs it on a virtual X
# display. The windows run on fake time, so the pictures are the same on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs/screenshots

command -v xvfb-run >/dev/null || { echo "missing xvfb-run (apt-get install xvfb xauth)" >&2; exit 2; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORAK_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target norak_screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1024x768x24" \
    env QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$build/tools/screenshots/norak_screenshots" "$out"
# The report's page as a picture for the README (poppler-utils).
if command -v pdftoppm >/dev/null; then
    pdftoppm -png -r 50 -singlefile "$out/report-example.pdf" "$out/report"
    echo "$out/report.png"
fi
