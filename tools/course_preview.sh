#!/usr/bin/env bash
# Screenshots of the course panel with the live run displays, taken on a virtual X display.
# Usage: tools/course_preview.sh [build-dir] [out-dir]; needs xvfb-run and ImageMagick's import.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
out=${2:-$build/preview}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORAK_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" --target course_preview
mkdir -p "$out"
for sport in zevez futbol basket futsal; do
    for phase in idle effort recovery; do
        xvfb-run -a -s "-screen 0 900x660x24" bash -c "
            '$build/tools/course_preview/course_preview' $sport $phase &
            pid=\$!
            sleep 1.5
            import -window root -crop 826x592+0+0 '$out/$sport-$phase.png'
            kill \$pid"
    done
done
echo "screenshots in $out"
