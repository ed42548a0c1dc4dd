#!/usr/bin/env bash
# Screenshots of the test window's information panels, taken under Xvfb:
#   tools/panels_preview.sh [output-folder] [build-dir]   (default: build/preview-shots, build)
# Builds tools/panels_preview in the build folder, with the tools turned on, and writes
# start-<edition>[-v<variant>].png, help-, topbar- and glyphs-<edition>.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${2:-build}
out=${1:-$build/preview-shots}
mkdir -p "$out"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORAK_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target panels_preview
exe=$build/tools/panels_preview/panels_preview

shoot() {  # name, arguments...
    local name=$1
    shift
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        "$0" "${@:2}" > "$1.id" &
        pid=$!
        sleep 2
        import -window "$(head -n1 "$1.id")" "$1.png"
        kill "$pid"
    ' "$exe" "$out/$name" "$@"
    rm -f "$out/$name.id"
    echo "$out/$name.png"
}

for e in 0 1 2 3 4; do
    shoot "start-$e" start "$e"
    shoot "help-$e" help "$e"
    shoot "topbar-$e" topbar "$e"
    shoot "glyphs-$e" glyphs "$e"
done
shoot start-4-v1 start 4 1
shoot start-4-v3 start 4 3
