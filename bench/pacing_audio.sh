#!/usr/bin/env bash
# Audio check of the main window's pacing: do the sounds heard keep the decided spacing?
#
# Starts a private PulseAudio server with a null sink, records the sink's monitor while the
# pacing bench runs a real test in the main window with every signal played on the program's
# sound output (pacing --play), finds each tone's onset in the recording and compares
# onset-to-onset intervals with the intervals between the window's signal decisions
# ("request-to-request"). The onset detection and the figures are audio_onsets.py's.
# Goal: the sound path adds at most 1 ms at p99 to any interval.
#
#   bench/pacing_audio.sh [BUILD_DIR] [pacing arguments...]
#       default: build; PERIODS=3 MIN_RUN=500 MAX_RUN=700;
#       LOAD=sessions|group|build loads the machine meanwhile as bench/pacing_loaded.sh does
#           (bench/load.sh; BUSY=N loops, default 2); LOAD=none (default) leaves it quiet;
#       NICE_AUDIO="nice -n -10" runs the sound server at a higher priority, as a desktop's
#           real-time audio set-up would (the program raises its own threads itself; pass
#           --normal-priority to leave them as they are);
#       VOICE=1 ticks "Voz" (pacing --voice): the recoveries are spoken, and the words are
#           checked too (found where planned, quiet before every signal and alert), the signals
#           measured as without them;
#       KEEP=1 keeps the recording and the log.
# The last line sums up the run: load, decisions, what was heard, priorities, load average.
# On a machine so busy that the sound server or the program's audio thread waits longer than
# the output's buffer (about 70 ms), the output underruns: tones come out split or shifted and
# the onsets no longer match the signals one to one ("no figures").
# Run times stay above the 469 ms of the signal sound, so every tone starts after silence.
# Needs pulseaudio, pulseaudio-utils and /usr/bin/python3 with numpy (Debian's python3-numpy).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
shift || true
PERIODS=${PERIODS:-3}
MIN_RUN=${MIN_RUN:-500}
MAX_RUN=${MAX_RUN:-700}
LOAD=${LOAD:-none}
VOICE_ARG=()
[ -n "${VOICE:-}" ] && VOICE_ARG=(--voice)
HELPER=bench/audio_onsets.py
source bench/private_pulse.sh
source bench/load.sh
need_sound_tools

[ -n "${SKIP_BUILD:-}" ] || cmake --build "$BUILD_DIR" --target pacing >/dev/null  # SKIP_BUILD=1: as a user who cannot write the build
PACING="$BUILD_DIR/bench/pacing"

make_private_pulse pacing-audio
REC_PID=""

cleanup() {
    stop_load
    [ -n "$REC_PID" ] && kill "$REC_PID" 2>/dev/null || true
    pid=$(pulse_server_pid)
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    sleep 0.5
    if [ -n "${KEEP:-}" ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

PULSE_PREFIX=${NICE_AUDIO:-} start_pulse_server "$WORK/pa.log"

# Stand-in signal sound, used only when the program's own is not built in.
$PY "$HELPER" make-wav "$WORK/signal.wav"

# The recorder must not lose data when the machine is busy: a real-time class when allowed.
if chrt -r 10 true 2>/dev/null; then REC_PRIO="chrt -r 10"; else REC_PRIO="nice -n -15"; fi
$REC_PRIO parecord --latency-msec=500 -d nullsink.monitor --file-format=wav "$WORK/rec.wav" &
REC_PID=$!
sleep 2
start_load "$LOAD"
"$PACING" --play --periods "$PERIODS" --min-run "$MIN_RUN" --max-run "$MAX_RUN" --wav "$WORK/signal.wav" \
    --log "$WORK/decisions.log" "${VOICE_ARG[@]}" "$@" | tee "$WORK/pacing.txt"
stop_load
sleep 1.5
kill -INT "$REC_PID"
wait "$REC_PID" 2>/dev/null || true
REC_PID=""

echo "audio: $(grep -c '^decision' "$WORK/decisions.log") signal sounds, $(grep -c '^clip' "$WORK/decisions.log" || true) words, run times $MIN_RUN..$MAX_RUN ms, load: $LOAD_TEXT; sound server: ${NICE_AUDIO:-normal priority}"
# "request-to-request" are the window's decisions here: the first figure is the sound path's
# error on the decided intervals.
status=0
$PY "$HELPER" analyse "$WORK/rec.wav" "$WORK/decisions.log" | tee "$WORK/analysis.txt" || status=$?
underruns=$(grep -ci underrun "$WORK/pa.log" || true)
heard=$(grep -E '^(signals heard|signal tones|onset-to-onset vs request|  intervals off|words:)' "$WORK/analysis.txt" |
    sed 's/^ *//' | paste -sd ';' -)
echo "summary audio voice=$([ -n "${VOICE:-}" ] && echo on || echo off) load=$LOAD ($LOAD_TEXT) user=$(id -un) server_underruns=$underruns recorder=\"$REC_PRIO\"; $heard; $(tail -1 "$WORK/pacing.txt")"
exit "$status"
