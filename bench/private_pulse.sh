# Sourced by the sound benches: a private PulseAudio server with a null sink whose monitor can be
# recorded, living in a folder of its own, so that no desktop sound is touched.
#   need_sound_tools            exits 2 naming what is missing
#   make_private_pulse NAME     makes WORK (/tmp/norak-NAME.XXXXXX) and points the clients at it
#   start_pulse_server LOG [ARGS...]
#                               starts the server (extra pulseaudio ARGS; PULSE_PREFIX, e.g.
#                               "nice -n -10", runs it under a wrapper) and waits until it answers
#   pulse_server_pid            the running server's process id, or nothing
PY=/usr/bin/python3

need_sound_tools() {
    local tool
    for tool in pulseaudio parecord pactl; do
        command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install pulseaudio pulseaudio-utils)" >&2; exit 2; }
    done
    $PY -c 'import numpy' 2>/dev/null || { echo "missing numpy for $PY (apt-get install python3-numpy)" >&2; exit 2; }
}

make_private_pulse() {
    WORK=$(mktemp -d "/tmp/norak-$1.XXXXXX")
    export XDG_RUNTIME_DIR="$WORK/run"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset PULSE_SERVER
    printf 'load-module module-native-protocol-unix\nload-module module-null-sink sink_name=nullsink rate=48000\nset-default-sink nullsink\n' >"$WORK/pa.pa"
}

pulse_server_pid() { cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null || true; }

start_pulse_server() {
    local log=$1
    shift
    ${PULSE_PREFIX:-} pulseaudio -n -F "$WORK/pa.pa" --daemonize=yes --exit-idle-time=-1 --system=false \
        --log-target=file:"$log" "$@"
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "the sound server did not start" >&2
    return 1
}
