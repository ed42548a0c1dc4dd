# Sourced by the pacing benches: a load on the machine for the duration of a run.
#   start_load MODE [BUILD_DIR]   MODE is one of
#       none       nothing
#       sessions   BUSY loops (default 2), each in a session of its own, as other programs: with
#                  the kernel's automatic session groups they only compete with the bench's group
#       group      BUSY loops started from the bench's own session (no setsid): the same
#                  scheduling group as the bench, as programs started from the same desktop
#       build      a -j2 build of this project in a scratch build folder, from the same session
#   stop_load                     ends what start_load started
#   LOAD_TEXT                     what is running, for the summary line
LOAD_PIDS=()
LOAD_SCRATCH=""
LOAD_TEXT="none"

start_load() {
    local mode=$1 n
    n=${BUSY:-2}
    case "$mode" in
    none) LOAD_TEXT="none" ;;
    sessions | group)
        for _ in $(seq "$n"); do
            if [ "$mode" = sessions ]; then setsid yes >/dev/null & else yes >/dev/null & fi
            LOAD_PIDS+=($!)
        done
        LOAD_TEXT="$n busy loops in $([ "$mode" = sessions ] && echo "own sessions" || echo "the bench's session")"
        ;;
    build)
        LOAD_SCRATCH=$(mktemp -d /tmp/norak-build-load.XXXXXX)
        # Its own process group (to end it as a whole), but the bench's session.
        set -m
        (cmake -S . -B "$LOAD_SCRATCH" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
            cmake --build "$LOAD_SCRATCH" -j2 >/dev/null) &
        LOAD_PIDS+=($!)
        set +m
        # Until the compilers run: the configure step takes some seconds.
        sleep "${BUILD_WARMUP_S:-20}"
        LOAD_TEXT="-j2 build of this project"
        ;;
    *)
        echo "unknown load $mode (none, sessions, group, build)" >&2
        exit 2
        ;;
    esac
}

stop_load() {
    local pid
    for pid in "${LOAD_PIDS[@]}"; do
        kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
    done
    LOAD_PIDS=()
    if [ -n "$LOAD_SCRATCH" ]; then
        sleep 1
        rm -rf "$LOAD_SCRATCH"
        LOAD_SCRATCH=""
    fi
}
