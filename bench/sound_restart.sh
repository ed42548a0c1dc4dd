#!/usr/bin/env bash
# The sound output going away and coming back while signals are being given.
#
# Starts a private PulseAudio server with a null sink, lets sound_probe give one signal a second
# through the program's sound output for WATCH seconds, kills the server after DOWN_AT seconds and
# starts it again after UP_AT seconds. The sink's monitor is recorded before the kill and after the
# restart. Prints, second by second, whether the output stream ran, how long each request took,
# and how many signals were heard in each recording; fails unless the probe went on giving a
# signal every second, the stream came back, and signals were heard after the restart.
#
#   bench/sound_restart.sh [BUILD_DIR]    (default: build; WATCH=40 DOWN_AT=10 UP_AT=18)
# Needs pulseaudio, pulseaudio-utils and /usr/bin/python3 with numpy (Debian's python3-numpy).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
WATCH=${WATCH:-40}
DOWN_AT=${DOWN_AT:-10}
UP_AT=${UP_AT:-18}
source bench/private_pulse.sh
need_sound_tools

cmake --build "$BUILD_DIR" --target sound_probe >/dev/null
PROBE="$BUILD_DIR/bench/sound_probe"

make_private_pulse restart
REC_PID=""
PROBE_PID=""

start_server() {
    start_pulse_server "$WORK/pa-$1.log"
}

start_recording() {
    parecord --latency-msec=500 -d nullsink.monitor --file-format=wav "$WORK/$1.wav" &
    REC_PID=$!
}

stop_recording() {
    [ -n "$REC_PID" ] && kill -INT "$REC_PID" 2>/dev/null || true
    wait "$REC_PID" 2>/dev/null || true
    REC_PID=""
}

cleanup() {
    stop_recording
    [ -n "$PROBE_PID" ] && kill "$PROBE_PID" 2>/dev/null || true
    pid=$(pulse_server_pid)
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    sleep 0.5
    if [ -n "${KEEP:-}" ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

$PY bench/audio_onsets.py make-wav "$WORK/signal.wav"
start_server first

"$PROBE" --wav "$WORK/signal.wav" --watch-ms $((WATCH * 1000)) >"$WORK/probe.log" 2>&1 &
PROBE_PID=$!
sleep 3
start_recording before

sleep $((DOWN_AT - 3))
stop_recording
kill "$(pulse_server_pid)"
echo "t=${DOWN_AT}s: sound server killed"

sleep $((UP_AT - DOWN_AT))
start_server second
echo "t=${UP_AT}s: sound server started again"
start_recording after

wait "$PROBE_PID" || true
PROBE_PID=""
stop_recording

cat "$WORK/probe.log"
$PY - "$WORK" "$WATCH" <<'EOF'
import re
import sys

sys.path.insert(0, "bench")
import audio_onsets

work, watch = sys.argv[1], int(sys.argv[2])
lines = [l for l in open(work + "/probe.log") if l.startswith("t=")]
times = [float(re.match(r"t=\s*([\d.]+)", l).group(1)) for l in lines]
states = [("running" in l) for l in lines]
gaps = [b - a for a, b in zip(times, times[1:])]
heard = {}
for name in ("before", "after"):
    rate, x = audio_onsets.read_recording(work + "/" + name + ".wav")
    onsets, kinds = audio_onsets.find_onsets(rate, x)
    heard[name] = sum(1 for k in kinds if k == "signal")
went_down = False in states
came_back = went_down and states[-1] and any(states[i] for i in range(states.index(False), len(states)))
print("signals given: %d over %d s, longest gap between them %.2f s" % (len(lines), watch, max(gaps)))
print("stream went down: %s; came back: %s" % (went_down, came_back))
print("signals heard before the kill: %d, after the restart: %d" % (heard["before"], heard["after"]))
ok = len(lines) >= watch - 2 and max(gaps) < 1.5 and went_down and came_back and heard["after"] > 0
print("sound restart: " + ("PASS" if ok else "FAIL"))
sys.exit(0 if ok else 1)
EOF
