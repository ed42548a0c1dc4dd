#!/usr/bin/python3
"""Helper of audio_onsets.sh.

  audio_onsets.py make-wav OUT.wav
      writes a stand-in signal sound: full-scale square tone of 437 Hz, 8-bit unsigned mono,
      11025 Hz, 5167 samples (used only when the program's own sound is not built in).
  audio_onsets.py stalls SECONDS
      sleeps 10 ms at a time and reports how late the wake-ups came (scheduling stalls).
  audio_onsets.py analyse RECORDING.wav REQUESTS.log
      finds the tone onsets in the recording and compares their spacing with the spacing of the
      requests written by sound_probe (or the decisions written by pacing). When the log has
      spoken words ("clip" lines of pacing --voice), the onsets inside the words are set apart
      before the signals are matched, and the words are checked too: sound where each was
      planned, and quiet in the QUIET_BEFORE_MS before every signal and alert.
"""
import sys
import time
import wave

import numpy as np

QUIET_BEFORE_ONSET_S = 0.010  # the shortest gap between two signals is 18 ms (487 ms apart)
THRESHOLD = 0.2  # of the recording's peak
QUIET_BEFORE_MS = 230  # of the 250 ms a word keeps clear of the next signal, less the edges
WORD_EDGE_S = 0.020  # an onset this close to a word's planned span belongs to the word


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


def tone_lengths(rate, x, onsets):
    """Length (ms) of each tone from its onset to its last loud sample."""
    level = np.abs(x)
    thr = THRESHOLD * level.max()
    quiet = int(QUIET_BEFORE_ONSET_S * rate)
    lengths = []
    for t in onsets:
        i = int(t * rate) + 1
        loud = np.flatnonzero(level[i:i + rate] > thr)
        gaps = np.flatnonzero(np.diff(loud) > quiet)
        end = loud[gaps[0]] if gaps.size else loud[-1]
        lengths.append(end / rate * 1e3)
    return lengths


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


def match(requests, onsets):
    """Pairs each request with its onset. The delay from request to sound is taken as the most
    common one, then followed from signal to signal (an underrun shifts all later sounds); a
    tone cut in two by an underrun gives a second onset, which is passed over."""
    req = np.asarray(requests)
    on = np.asarray(onsets)
    # The recording starts some seconds before the probe's clock does.
    diffs = [o - r for r in req for o in on if 0.0 <= o - r < 30.0]
    if not diffs:
        return [None] * len(req)
    bins = np.round(np.asarray(diffs) * 1000).astype(int)
    # Repeating interval patterns make wrong delays common too: of the most common ones, take
    # the delay that puts an onset right after the most requests (the smallest on a tie).
    counts = np.bincount(bins)
    candidates = np.argsort(counts)[::-1][:20] / 1000.0

    def explained(d):
        return sum(1 for r in req if np.any(np.abs(on - (r + d)) < 0.005))

    delay = max(sorted(candidates), key=explained)
    used = -1
    pairs = []
    for r in req:
        expected = r + delay
        found = None
        for j in range(used + 1, len(on)):
            if on[j] < expected - 0.060:
                continue
            if on[j] <= expected + 0.400:
                found = j
            break
        if found is None:
            pairs.append(None)
            continue
        pairs.append(on[found])
        used = found
        delay = on[found] - r
    return pairs


def rms(x, rate, from_s, to_s):
    a, b = max(0, int(from_s * rate)), max(0, int(to_s * rate))
    seg = x[a:b]
    return float(np.sqrt(np.mean(seg * seg))) if seg.size else 0.0


def words_apart(requests, onsets, kinds, words, cancels):
    """The onsets that lie inside a planned word, the words to look for (those not called off
    before their moment) and the words called off, each as (recording s, name, ms). A word
    sounds as far from the signals as its moment is from theirs; when a stall of the output
    shifted the stream, the signal nearest in time tells the delay from request to sound."""
    said = [(us, name, ms) for us, name, ms, asked in words if not any(asked < c <= us for c in cancels)]
    called_off = [(us, name, ms) for us, name, ms, asked in words if any(asked < c <= us for c in cancels)]
    sig = [t for t, k in zip(onsets, kinds) if k == "signal"]
    pairs = match(requests, sig)
    known = [(r, p - r) for p, r in zip(pairs, requests) if p is not None]
    if not known:
        return set(), [], [], False

    def placed(word_list):
        out = []
        for us, name, ms in word_list:
            at = us / 1e6
            delay = min(known, key=lambda rd: abs(rd[0] - at))[1]
            out.append((at + delay, name, ms))
        return out

    said, called_off = placed(said), placed(called_off)
    inside = set()
    for i, t in enumerate(onsets):
        if any(start - WORD_EDGE_S <= t <= start + ms / 1e3 + WORD_EDGE_S for start, _, ms in said):
            inside.add(i)
    return inside, said, called_off, True


def check_words(rate, x, said, called_off, sounds):
    """sounds: (onset s, length s) of every signal and alert heard. Each word said must sound in
    the middle half of its planned span, each word called off must be silent there, and from the
    end of the sound before each signal or alert, for at most QUIET_BEFORE_MS, all is quiet."""
    peak = np.abs(x).max()
    end_s = len(x) / rate
    missing, heard_off, noisy, windows = [], [], [], 0
    for start, name, ms in said:
        if rms(x, rate, start + 0.25 * ms / 1e3, start + 0.75 * ms / 1e3) < 0.02 * peak:
            missing.append("%s@%.3f" % (name, start))
    checked_off = 0
    for start, name, ms in called_off:
        if start + ms / 1e3 > end_s - 0.1:
            continue  # after the recording
        checked_off += 1
        if rms(x, rate, start + 0.25 * ms / 1e3, start + 0.75 * ms / 1e3) > 0.01 * peak:
            heard_off.append("%s@%.3f" % (name, start))
    sounds = sorted(sounds)
    for (prev_on, prev_len), (on, _) in zip(sounds[:-1], sounds[1:]):
        since = max(on - QUIET_BEFORE_MS / 1e3, prev_on + prev_len + 0.010)
        if on - 0.010 - since < 0.005:
            continue  # the sound before reaches this one: no gap to look at
        windows += 1
        if rms(x, rate, since, on - 0.010) > 0.01 * peak:
            noisy.append(on)
    print("words: %d said, %d found where planned; %d called off (%d within the recording, %d of them heard);"
          " sound in the %d ms before a signal or alert (after the sound before it): %d of %d"
          % (len(said), len(said) - len(missing), len(called_off), checked_off, len(heard_off),
             QUIET_BEFORE_MS, len(noisy), windows))
    if missing:
        print("  words not found: " + " ".join(missing))
    if heard_off:
        print("  words heard though called off: " + " ".join(heard_off))
    if noisy:
        print("  sound before the onsets at " + " ".join("%.3f" % t for t in noisy))
    return 1 if missing or heard_off or noisy else 0


def analyse(rec_path, log_path):
    requests, run_times, alert_burst = [], [], None
    words, cancels = [], []
    for line in open(log_path):
        parts = line.split()
        if parts and parts[0] == "signal":  # sound_probe: moment and run time
            requests.append(int(parts[1]) / 1e6)
            run_times.append(int(parts[2]))
        elif parts and parts[0] == "decision":  # pacing: the window's decision, no run time
            requests.append(int(parts[1]) / 1e6)
        elif parts and parts[0] == "alertburst":
            alert_burst = int(parts[1]) / 1e6
        elif parts and parts[0] == "clip":  # pacing --voice: planned start, name, length, asked
            words.append((int(parts[1]), parts[2], int(parts[3]), int(parts[4])))
        elif parts and parts[0] == "cancel":
            cancels.append(int(parts[1]))
    rate, x = read_recording(rec_path)
    onsets, kinds = find_onsets(rate, x)
    word_onsets, said, called_off = 0, [], []
    if words:
        inside, said, called_off, _ = words_apart(requests, onsets, kinds, words, cancels)
        word_onsets = len(inside)
        onsets = [t for i, t in enumerate(onsets) if i not in inside]
        kinds = [k for i, k in enumerate(kinds) if i not in inside]
        print("spoken words: %d onsets inside the %d words said set apart" % (word_onsets, len(said)))
    sig = [t for t, k in zip(onsets, kinds) if k == "signal"]
    alerts = [t for t, k in zip(onsets, kinds) if k == "alert"]
    print("recording: %.1f s at %d Hz; signals requested %d, signal onsets found %d, alert onsets %d"
          % (len(x) / rate, rate, len(requests), len(sig), len(alerts)))
    if alert_burst is not None:
        print("alert burst (100 requests in 1 s): %d alert onset(s) heard" % len(alerts))
    lengths = np.asarray(tone_lengths(rate, x, sig))
    if lengths.size:
        odd = np.count_nonzero(np.abs(lengths - np.median(lengths)) > 1.0)
        print("signal tones: median length %.1f ms; %d differ by more than 1 ms (samples lost or"
              " cut)" % (np.median(lengths), odd))
    pairs = match(requests, sig)
    on_err, due_err, timer_err = [], [], []
    for i in range(1, len(requests)):
        if pairs[i] is None or pairs[i - 1] is None:
            continue
        on = (pairs[i] - pairs[i - 1]) * 1e3
        req = (requests[i] - requests[i - 1]) * 1e3
        # The interval before signal i was to last more than its run time: run time + 1 ms is
        # the earliest moment the pacing can decide.
        on_err.append(on - req)
        if run_times:
            due = run_times[i] + 1.0
            due_err.append(on - due)
            timer_err.append(req - due)
    missing = sum(1 for p in pairs if p is None)
    print("signals heard: %d of %d; extra onsets (tones cut by an underrun): %d"
          % (len(requests) - missing, len(requests), len(sig) - (len(requests) - missing)))
    if not on_err:
        print("no interval could be measured")
        return 1
    off = sum(1 for e in on_err if abs(e) > 1.0)
    print("onset-to-onset vs request-to-request (sound path):   " + stats(on_err))
    print("  intervals off by more than 1 ms: %d of %d" % (off, len(on_err)))
    if due_err:
        print("onset-to-onset vs run time + 1 ms (timer+sound):     " + stats(due_err))
        print("request-to-request vs run time + 1 ms (timer alone): " + stats(timer_err))
    if words:
        extra = [t for t in sig if t not in pairs]
        if extra:
            print("  onsets matched with no signal: " + " ".join("%.3f" % t for t in extra))
        sounds = [(t, l / 1e3) for t, l in zip(sig, lengths) if t in pairs] + [(t, 0.150) for t in alerts]
        return check_words(rate, x, said, called_off, sounds)
    return 0


def stalls(seconds):
    extra = []
    end = time.monotonic() + seconds
    last = time.monotonic()
    while last < end:
        time.sleep(0.010)
        now = time.monotonic()
        extra.append((now - last - 0.010) * 1e3)
        last = now
    e = np.asarray(extra)
    print("machine check: a 10 ms sleep woke up late by p50 %.1f, p99 %.1f, max %.1f ms (%d over 50 ms in %d s)"
          % (np.median(e), np.percentile(e, 99), e.max(), np.count_nonzero(e > 50), seconds))


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "make-wav":
        make_wav(sys.argv[2])
        return 0
    if len(sys.argv) == 3 and sys.argv[1] == "stalls":
        stalls(int(sys.argv[2]))
        return 0
    if len(sys.argv) == 4 and sys.argv[1] == "analyse":
        return analyse(sys.argv[2], sys.argv[3])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
