#!/usr/bin/python3
"""Helper of audio_onsets.sh.

  audio_onsets.py make-wav OUT.wav
      writes a stand-in signal sound: full-scale square tone of 437 Hz, 8-bit unsigned mono,
      11025 Hz, 5167 samples (used only when the program's own sound is not built in).
  audio_onsets.py analyse RECORDING.wav REQUESTS.log
      finds the tone onsets in the recording and compares their spacing with the spacing of the
      requests written by sound_probe.
"""
import sys
import wave

import numpy as np

QUIET_BEFORE_ONSET_S = 0.010  # the shortest gap between two signals is 18 ms (487 ms apart)
THRESHOLD = 0.2  # of the recording's peak


def make_wav(path):
    rate, frames, freq = 11025, 5167, 437.0
    t = np.arange(frames) / rate
    square = np.where(np.sin(2 * np.pi * freq * t) >= 0, 255, 0).astype(np.uint8)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(square.tobytes())


def read_recording(path):
    with wave.open(path, "rb") as w:
        rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
        raw = w.readframes(w.getnframes())
    if width != 2:
        sys.exit("expected 16-bit samples in the recording")
    data = np.frombuffer(raw, dtype="<i2").astype(np.float64)
    return rate, data.reshape(-1, channels)[:, 0]


def find_onsets(rate, x):
    """Onset times (s) of the tones: the first crossing of the threshold after a quiet stretch,
    interpolated between samples."""
    level = np.abs(x)
    peak = level.max()
    if peak <= 0:
        return [], []
    thr = THRESHOLD * peak
    loud = np.flatnonzero(level > thr)
    if loud.size == 0:
        return [], []
    quiet = int(QUIET_BEFORE_ONSET_S * rate)
    starts = [loud[0]] + [b for a, b in zip(loud[:-1], loud[1:]) if b - a > quiet]
    onsets, kinds = [], []
    for i in starts:
        a, b = level[i - 1] if i > 0 else 0.0, level[i]
        frac = (thr - a) / (b - a) if b != a else 0.0
        onsets.append((i - 1 + frac) / rate)
        # 437 Hz signal or 880 Hz alert, told apart by zero crossings in the first 30 ms.
        seg = x[i:i + int(0.030 * rate)]
        crossings = np.count_nonzero(np.diff(np.signbit(seg)))
        freq = crossings / 2 / 0.030
        kinds.append("alert" if freq > 660 else "signal")
    return onsets, kinds


def stats(errors_ms):
    e = np.asarray(errors_ms)
    a = np.abs(e)
    return "p50 %+.3f  p99 %.3f  max %.3f ms (mean %+.3f, n=%d)" % (
        np.median(e), np.percentile(a, 99), a.max(), e.mean(), e.size)


def analyse(rec_path, log_path):
    requests, dues, alert_burst = [], [], None
    for line in open(log_path):
        parts = line.split()
        if parts and parts[0] == "signal":
            requests.append(int(parts[1]) / 1e6)
            dues.append(int(parts[2]) / 1e3)
        elif parts and parts[0] == "alertburst":
            alert_burst = int(parts[1]) / 1e6
    rate, x = read_recording(rec_path)
    onsets, kinds = find_onsets(rate, x)
    sig = [t for t, k in zip(onsets, kinds) if k == "signal"]
    alerts = [t for t, k in zip(onsets, kinds) if k == "alert"]
    print("recording: %.1f s at %d Hz; signals requested %d, signal onsets found %d, alert onsets %d"
          % (len(x) / rate, rate, len(requests), len(sig), len(alerts)))
    if alert_burst is not None:
        print("alert burst (100 requests in 1 s): %d alert onset(s) heard" % len(alerts))
    if len(sig) != len(requests) or len(sig) < 2:
        print("onsets do not match the requests; no figures")
        return 1
    on = np.diff(np.asarray(sig)) * 1e3
    req = np.diff(np.asarray(requests)) * 1e3
    due = np.diff(np.asarray(dues)) * 1e3
    print("onset-to-onset vs request-to-request (sound path):   " + stats(on - req))
    print("onset-to-onset vs scheduled intervals (timer+sound): " + stats(on - due))
    print("request-to-request vs scheduled (timer alone):       " + stats(req - due))
    # The first onset against the first request, on the recording's own time axis, is unknown
    # (the recording starts at an arbitrary moment), so only spacing is compared.
    return 0


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "make-wav":
        make_wav(sys.argv[2])
        return 0
    if len(sys.argv) == 4 and sys.argv[1] == "analyse":
        return analyse(sys.argv[2], sys.argv[3])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
