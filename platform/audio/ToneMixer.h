#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <deque>
#include <vector>

namespace norak {

// Mixes the signal sound, the alert tone and the spoken words into one continuous 8-bit unsigned
// mono stream.
// Sounds are placed at exact stream frames, so the spacing between two onsets is exactly the
// spacing of their frames whatever the size and timing of the buffers the output asks for.
// Not thread-safe: one owner (the audio thread) schedules and fills.
class ToneMixer {
  public:
    static constexpr int kSampleRate = 22050;
    static constexpr char kSilence = char(0x80);

    // 8-bit unsigned mono samples at kSampleRate.
    void setSignalSound(const QByteArray& samples);
    void setAlertSound(const QByteArray& samples);
    // How long an alert occupies the output from its onset: a request within that time does not
    // start another one. Never shorter than the alert sound itself.
    void setAlertHoldFrames(qint64 frames);
    qint64 alertHoldFrames() const;
    const QByteArray& signalSound() const { return m_signal; }
    const QByteArray& alertSound() const { return m_alert; }

    // The built-in alert: a soft 880 Hz tone of 150 ms with a smooth rise and fall.
    static QByteArray makeAlertTone(int sampleRate = kSampleRate);

    // Places the signal sound with its first sample at `frame`. Signals may overlap.
    void startSignal(qint64 frame);
    // Places the alert at `frame` unless an earlier alert still occupies that frame; true when
    // a new alert was placed.
    bool startAlert(qint64 frame);

    // The spoken words (clips): each added once, before the stream plays, and known by the index
    // returned. Placed at a frame like the signal, but a clip always gives way: it sounds only up
    // to the first signal or alert that begins while it plays (or is sounding when it begins),
    // fading out over kClipFadeFrames before that frame when the cut is known in time, and is
    // silent from there on. A signal's samples are thus never delayed, shortened or mixed with a
    // word. The schedule of the words keeps them clear of every signal; this is the guard for a
    // signal that comes where it was not expected (an edited period table, a late clip).
    static constexpr qint64 kClipFadeFrames = kSampleRate / 200;  // 5 ms
    int addClip(const QByteArray& samples);
    int clipCount() const { return int(m_clips.size()); }
    // False when the index names no clip.
    bool startClip(int index, qint64 frame);
    // The words are called off from `frame` on (a test stopped during its recovery): a clip placed
    // to start there or later is forgotten, one under way stops at `frame` with the same fade as
    // before a signal. Signals and the alert are untouched; clips placed afterwards play as usual.
    // `frame` is never one already filled.
    void cancelClips(qint64 frame);

    // Writes frames [firstFrame, firstFrame + count) into out: silence plus every scheduled
    // sound overlapping the range, summed and clipped. Frames must be asked for in increasing
    // order; sounds that ended before firstFrame are forgotten.
    void fill(qint64 firstFrame, char* out, qint64 count);

    // Forgets every scheduled sound (a new stream starts counting frames from zero).
    void clear();
    int scheduledCount() const { return int(m_voices.size()); }

  private:
    struct Voice {
        const QByteArray* sound;
        qint64 start;
        qint64 end;             // a clip's end moves earlier when a signal cuts it
        bool givesWay = false;  // a clip
    };
    void cutClips();
    QByteArray m_signal;
    QByteArray m_alert;
    qint64 m_alertHold = 0;
    bool m_haveAlert = false;
    qint64 m_lastAlertStart = 0;
    std::vector<Voice> m_voices;
    std::deque<QByteArray> m_clips;  // a deque keeps each clip where the voices point to it
};

}  // namespace norak
