#!/usr/bin/env bash
# Heard check of the spoken cues: plays a recovery with "Voz" on through the program's sound
# output into a private PulseAudio null sink (bench/private_pulse.sh), records the sink's
# monitor and checks with voice_heard.py that every signal is heard whole at its moment, that
# nothing sounds in the 230 ms before a signal or the alert, and that each word is heard where
# the schedule placed it.
#
#   bench/voice_audio.sh [BUILD_DIR]      RECOVERY_MS=30000 by default; KEEP=1 keeps the files
# Needs pulseaudio, pulseaudio-utils and /usr/bin/python3 with numpy (Debian's python3-numpy).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
RECOVERY_MS=${RECOVERY_MS:-30000}
source bench/private_pulse.sh
need_sound_tools

[ -n "${SKIP_BUILD:-}" ] || cmake --build "$BUILD_DIR" --target voice_probe >/dev/null
make_private_pulse voice-audio
REC_PID=""
cleanup() {
    [ -n "$REC_PID" ] && kill "$REC_PID" 2>/dev/null || true
    pid=$(pulse_server_pid)
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    sleep 0.5
    if [ -n "${KEEP:-}" ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

start_pulse_server "$WORK/pa.log"
if chrt -r 10 true 2>/dev/null; then REC_PRIO="chrt -r 10"; else REC_PRIO="nice -n -15"; fi
$REC_PRIO parecord --latency-msec=500 -d nullsink.monitor --file-format=wav "$WORK/rec.wav" &
REC_PID=$!
sleep 2
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bench/voice_probe" --log "$WORK/probe.log" --recovery-ms "$RECOVERY_MS"
sleep 1.5
kill -INT "$REC_PID"
wait "$REC_PID" 2>/dev/null || true
REC_PID=""
$PY bench/voice_heard.py "$WORK/rec.wav" "$WORK/probe.log"
