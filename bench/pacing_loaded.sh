#!/usr/bin/env bash
# Runs the pacing bench on a busy machine, as a coach's laptop often is.
#
#   bench/pacing_loaded.sh [BUILD_DIR] [pacing arguments...]
#       LOAD=sessions   (default) BUSY loops (default 2), each in a session of its own, as other
#                       programs would be: with the kernel's automatic session groups they compete
#                       with the bench's group as a whole
#       LOAD=group      BUSY loops started from the bench's own session: the same scheduling group
#       LOAD=build      a -j2 build of this project in a scratch folder, from the same session
#       LOAD=none       nothing
# Pass --normal-priority to leave the threads' priorities as they are. The last line sums up the
# run: the load, the window's and the poller's figures, the priorities given and the load average.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
shift || true
LOAD=${LOAD:-sessions}
[ -n "${SKIP_BUILD:-}" ] || cmake --build "$BUILD_DIR" --target pacing >/dev/null  # SKIP_BUILD=1: as a user who cannot write the build
source bench/load.sh
trap stop_load EXIT

start_load "$LOAD"
echo "load: $LOAD_TEXT; cores: $(nproc); user: $(id -un); load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
OUT=$(mktemp)
status=0
"$BUILD_DIR/bench/pacing" "$@" | tee "$OUT" || status=$?
echo "summary load=$LOAD ($LOAD_TEXT) user=$(id -un) $(tail -1 "$OUT")"
rm -f "$OUT"
exit "$status"
