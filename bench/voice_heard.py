#!/usr/bin/python3
"""Compares a recording of bench/voice_probe with its log: every signal heard at its moment and
whole (its loudness envelope the same as the first signal's, which no word can touch), the ms
before each signal and the alert quiet, and sound where each word was planned.

    voice_heard.py RECORDING.wav PROBE.log
"""
import sys
import wave

import numpy as np

WINDOW_S = 0.005
QUIET_BEFORE_MS = 230  # of the 250 ms a word keeps clear of the next signal, less the edges


def read_recording(path):
    with wave.open(path, "rb") as w:
        rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
        raw = w.readframes(w.getnframes())
    if width != 2:
        sys.exit("expected 16-bit samples in the recording")
    data = np.frombuffer(raw, dtype="<i2").astype(np.float64)
    return rate, data.reshape(-1, channels)[:, 0]


def read_log(path):
    signals, alerts, clips = [], [], []
    for line in open(path):
        parts = line.split()
        if parts[0] == "signal":
            signals.append(int(parts[1]))
        elif parts[0] == "alert":
            alerts.append(int(parts[1]))
        elif parts[0] == "clip":
            clips.append((parts[1], int(parts[2]), int(parts[3])))
    return signals, alerts, clips


def rms(x, rate, from_s, to_s):
    a, b = max(0, int(from_s * rate)), max(0, int(to_s * rate))
    seg = x[a:b]
    return float(np.sqrt(np.mean(seg * seg))) if seg.size else 0.0


def onset_near(x, rate, thr, expected_s, span_s=0.060):
    a = max(0, int((expected_s - span_s) * rate))
    loud = np.flatnonzero(np.abs(x[a:a + int(2 * span_s * rate)]) > thr)
    return (a + loud[0]) / rate if loud.size else None


def envelope(x, rate, from_s, length_s):
    n = int(length_s / WINDOW_S)
    w = int(WINDOW_S * rate)
    a = int(from_s * rate)
    seg = x[a:a + n * w]
    if seg.size < n * w:
        return None
    return np.sqrt(np.mean(seg.reshape(n, w) ** 2, axis=1))


def main():
    rate, x = read_recording(sys.argv[1])
    signals, alerts, clips = read_log(sys.argv[2])
    peak = np.abs(x).max()
    if peak <= 0 or not signals:
        print("voice heard: nothing recorded")
        return 1
    thr = 0.2 * peak
    loud = np.flatnonzero(np.abs(x) > thr)
    offset_s = loud[0] / rate - signals[0] / 1000.0  # the first sound is the first signal
    failures = []

    signal_s = 0.469
    reference = envelope(x, rate, loud[0] / rate, signal_s)
    errors = []
    worst_envelope = 0.0
    for tick in signals:
        expected = tick / 1000.0 + offset_s
        found = onset_near(x, rate, thr, expected)
        if found is None:
            failures.append("signal at %d ms not heard" % tick)
            continue
        errors.append((found - expected) * 1e3)
        env = envelope(x, rate, found, signal_s)
        if env is None:
            failures.append("signal at %d ms cut off by the end of the recording" % tick)
            continue
        worst_envelope = max(worst_envelope, float(np.max(np.abs(env - reference)) / reference.max()))
    if worst_envelope > 0.10:
        failures.append("a signal's loudness envelope differs from the first's by %.0f %%" % (100 * worst_envelope))

    noisy = []
    for tick in signals[1:] + alerts:
        at = tick / 1000.0 + offset_s
        level = rms(x, rate, at - QUIET_BEFORE_MS / 1000.0, at - 0.010)
        if level > 0.01 * peak:
            noisy.append(tick)
    if noisy:
        failures.append("sound within %d ms before the sounds at %s" % (QUIET_BEFORE_MS, noisy))

    missing = []
    for name, tick, length in clips:
        start = tick / 1000.0 + offset_s
        level = rms(x, rate, start + 0.25 * length / 1000.0, start + 0.75 * length / 1000.0)
        if level < 0.02 * peak:
            missing.append("%s@%d" % (name, tick))
    if missing:
        failures.append("words not found where planned: %s" % " ".join(missing))

    spread = (max(errors) - min(errors)) if errors else float("nan")
    print("voice heard: %d of %d signals, onset spread %.2f ms (relative to the first), envelope "
          "difference at most %.1f %%; %d of %d words found where planned; quiet before every signal "
          "and the alert: %s" % (len(errors), len(signals), spread, 100 * worst_envelope,
                                 len(clips) - len(missing), len(clips), "yes" if not noisy else "no"))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
