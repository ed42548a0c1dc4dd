#!/usr/bin/env bash
# Measures how exactly the signals keep their spacing in the sound actually played.
#
# Starts a private PulseAudio server with a null sink, records the sink's monitor while
# sound_probe plays signals at known intervals through the program's sound output, finds each
# tone's onset in the recording and prints the onset-to-onset error against the requested
# spacing (p50 / p99 / max). Then checks that a burst of alert requests sounds one alert.
#
#   bench/audio_onsets.sh [BUILD_DIR]      (default: build; COUNT=40 INTERVALS=600,487,853,520;
#                                           KEEP=1 keeps the recording)
# Needs pulseaudio, pulseaudio-utils and /usr/bin/python3 with numpy (Debian's python3-numpy).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
COUNT=${COUNT:-40}
INTERVALS=${INTERVALS:-600,487,853,520}
PY=/usr/bin/python3
HELPER=bench/audio_onsets.py

for tool in pulseaudio parecord pactl; do
    command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install pulseaudio pulseaudio-utils)" >&2; exit 2; }
done
$PY -c 'import numpy' 2>/dev/null || { echo "missing numpy for $PY (apt-get install python3-numpy)" >&2; exit 2; }

cmake --build "$BUILD_DIR" --target sound_probe >/dev/null
PROBE="$BUILD_DIR/bench/sound_probe"

WORK=$(mktemp -d /tmp/norak-audio.XXXXXX)
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER
REC_PID=""

cleanup() {
    [ -n "$REC_PID" ] && kill "$REC_PID" 2>/dev/null || true
    if [ -f "$XDG_RUNTIME_DIR/pulse/pid" ]; then
        kill "$(cat "$XDG_RUNTIME_DIR/pulse/pid")" 2>/dev/null || true
    fi
    sleep 0.5
    if [ -n "${KEEP:-}" ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

printf 'load-module module-native-protocol-unix\nload-module module-null-sink sink_name=nullsink rate=48000\nset-default-sink nullsink\n' >"$WORK/pa.pa"
${NICE_AUDIO:-} pulseaudio -n -F "$WORK/pa.pa" --daemonize=yes --exit-idle-time=-1 --system=false --log-target=file:"$WORK/pa.log"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

$PY "$HELPER" make-wav "$WORK/signal.wav"

nice -n -15 parecord --latency-msec=500 -d nullsink.monitor --file-format=wav "$WORK/rec.wav" &
REC_PID=$!
sleep 2
${NICE_AUDIO:-} "$PROBE" --count "$COUNT" --intervals "$INTERVALS" --wav "$WORK/signal.wav" --log "$WORK/requests.log" --alert-burst
sleep 0.5
kill -INT "$REC_PID"
wait "$REC_PID" 2>/dev/null || true
REC_PID=""

echo "signals: $COUNT, intervals cycling through $INTERVALS ms; load: $(cut -d' ' -f1-3 /proc/loadavg)"
$PY "$HELPER" analyse "$WORK/rec.wav" "$WORK/requests.log"
