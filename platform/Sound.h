#pragma once

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
};

}  // namespace norak
