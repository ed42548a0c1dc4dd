#!/usr/bin/env bash
# Runs the pacing bench while a busy loop keeps one core fully loaded (on a 2-core machine: the
# other core), as the pacing goals are stated for that condition. The loop runs in a session of
# its own, as another program would: with the kernel's automatic session groups, a loop started
# in the bench's own session would share the bench's processor share instead.
#
#   bench/pacing_loaded.sh [BUILD_DIR] [pacing arguments...]    (BUSY=N loops, default 1)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
shift || true
BUSY=${BUSY:-1}
cmake --build "$BUILD_DIR" --target pacing >/dev/null

PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
for _ in $(seq "$BUSY"); do
    setsid yes >/dev/null &
    PIDS+=($!)
done
echo "busy loops: $BUSY; cores: $(nproc)"
"$BUILD_DIR/bench/pacing" "$@"
