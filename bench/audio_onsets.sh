#!/usr/bin/env bash
# Measures how exactly the signals keep their spacing in the sound actually played.
#
# Starts a private PulseAudio server with a null sink, records the sink's monitor while
# sound_probe plays signals at known intervals through the program's sound output, finds each
# tone's onset in the recording and prints the onset-to-onset error against the requested
# spacing (p50 / p99 / max). Then checks that a burst of alert requests sounds one alert, and
# that the output comes back by itself after the sound server was stopped for DOWN_S seconds.
#
#   bench/audio_onsets.sh [BUILD_DIR]      (default: build; COUNT=40 INTERVALS=600,487,853,520;
#                                           PROBE=path skips building it; DOWN_S=2, 0 skips it;
#                                           KEEP=1 keeps the recording)
# The figures are only as good as the machine's scheduling: the script first measures how late
# a 10 ms sleep can wake up, and counts the server's underruns (each one shifts every later
# sound by the time the stream ran dry; the output then re-times itself).
# Needs pulseaudio, pulseaudio-utils and /usr/bin/python3 with numpy (Debian's python3-numpy).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
COUNT=${COUNT:-40}
INTERVALS=${INTERVALS:-600,487,853,520}
HELPER=bench/audio_onsets.py
source bench/private_pulse.sh
need_sound_tools

if [ -z "${PROBE:-}" ]; then
    cmake --build "$BUILD_DIR" --target sound_probe >/dev/null
    PROBE="$BUILD_DIR/bench/sound_probe"
fi

make_private_pulse audio
REC_PID=""
SERVER_PID=""

cleanup() {
    [ -n "$REC_PID" ] && kill "$REC_PID" 2>/dev/null || true
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null || true
    sleep 0.5
    if [ -n "${KEEP:-}" ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

start_server() {
    start_pulse_server "$WORK/pa.log" --log-level=debug
    SERVER_PID=$(pulse_server_pid)
}
start_server

$PY "$HELPER" make-wav "$WORK/signal.wav"
$PY "$HELPER" stalls 5

# The recorder must not lose data when the machine is busy.
nice -n -15 parecord --latency-msec=500 -d nullsink.monitor --file-format=wav "$WORK/rec.wav" &
REC_PID=$!
sleep 2
"$PROBE" --count "$COUNT" --intervals "$INTERVALS" --wav "$WORK/signal.wav" --log "$WORK/requests.log" --alert-burst
sleep 0.5
kill -INT "$REC_PID"
wait "$REC_PID" 2>/dev/null || true
REC_PID=""

echo "signals: $COUNT, intervals cycling through $INTERVALS ms; load: $(cut -d' ' -f1-3 /proc/loadavg);" \
    "server-side underruns: $(grep -c 'Implicit underrun' "$WORK/pa.log" || true)"
$PY "$HELPER" analyse "$WORK/rec.wav" "$WORK/requests.log" || true

# Recovery: the server goes away for DOWN_S seconds while signals are asked for once a second.
DOWN_S=${DOWN_S:-2}
[ "$DOWN_S" = 0 ] && exit 0
"$PROBE" --watch-ms 20000 --wav "$WORK/signal.wav" >"$WORK/watch.txt" 2>&1 &
WATCH_PID=$!
sleep 5
kill "$SERVER_PID"
SERVER_PID=""
sleep "$DOWN_S"
start_server
wait "$WATCH_PID" || true
echo "server stopped at ~5 s for ${DOWN_S} s; output stream each second (+ running, - down):"
echo "  $(awk '/ stream / {printf "%s%s ", $2, ($5 == "running" ? "+" : "-")}' "$WORK/watch.txt")"
