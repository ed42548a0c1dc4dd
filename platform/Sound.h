#pragma once

#include <QString>

namespace norak {

// Alert codes of the system alert sound: before questions and before warnings and errors.
inline constexpr int kAlertQuestion = 10040;
inline constexpr int kAlertWarning = 10000;

// The sound output. Every call returns at once and never fails: errors are swallowed.
class Sound {
  public:
    virtual ~Sound() = default;
    // Number of audio output devices the system offers, as last counted (0: tests run silent;
    // -1: not counted yet, the output is still being looked for and is not known to be missing).
    virtual int outputDeviceCount() = 0;
    // Plays the embedded signal sound, asynchronously.
    virtual void playSignal() = 0;
    // The system alert sound. A request while the alert still sounds does not restart it.
    virtual void alert(int code) = 0;
    // Plays the spoken word `clip` (a file of the voice's resources, without ".wav") so that it
    // starts delayMs after this call, on the same time line as a signal asked for now: a word
    // placed for the moment a signal is due and that signal fall exactly as far apart as their
    // moments. A word never sounds over a signal or the alert: it stops where one begins. An
    // unknown word, or one asked for with no sound output, is not played.
    virtual void playClip(const QString& clip, qint64 delayMs) = 0;
    // Calls off every word asked for before this call: a word still to come is never heard, and a
    // word sounding now stops at once (a short fade, on the time line of a signal asked for now),
    // so that nothing is said after a test has been stopped. Signals and the alert are untouched;
    // words asked for afterwards play as usual.
    virtual void cancelClips() = 0;
};

}  // namespace norak
