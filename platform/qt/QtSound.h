#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include "platform/Sound.h"

class QThread;

namespace norak {

class SoundOutput;
class ToneStream;

// The sound output on the system's sound server. One stream is opened at start-up and kept
// running on its own thread, silent between sounds, and opened again whenever the server comes
// back; each request is placed in it at a fixed delay after the moment of the call, so signals
// keep their exact spacing. The alert is a built-in tone mixed
// into the same stream, and so are the spoken words. Calls never wait for the audio thread; without a working
// output the signal is silent and the alert falls back to the desktop's beep.
class QtSound : public Sound {
  public:
    static constexpr const char* kSignalResource = ":/sound/sonido.wav";
    // The spoken words, one WAVE file each (made by tools/gen_voice.sh).
    static constexpr const char* kVoiceFolder = ":/voice";
    // A repeated alert request within this time of the last alert's onset does not sound again:
    // callers ask for the alert on every timer tick of a whole second and mean one alert.
    static constexpr qint64 kAlertHoldMs = 1200;

    // signalFile: the WAVE file of the signal sound; voiceFolder: the words' files (resource
    // paths by default).
    explicit QtSound(const QString& signalFile = QString::fromLatin1(kSignalResource),
                     const QString& voiceFolder = QString::fromLatin1(kVoiceFolder));
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    int outputDeviceCount() override;
    void playSignal() override;
    void alert(int code) override;
    void playClip(const QString& clip, qint64 delayMs) override;
    void cancelClips() override;
    // The words that could be read, for diagnostics.
    int clipCount() const { return int(m_clipIndex.size()); }

    // True while the output stream is pulling sound (it pulled within the last half second).
    bool isStreamRunning() const;
    // For diagnostics: how often the output was opened (more than once: it was lost and
    // reopened), and how often the placement clock of the current stream moved after settling.
    int streamOpenings() const;
    int clockAdjustments() const;
    // The output in use, as the report names it: the sound server, a card through ALSA, or none.
    QString outputName() const;
    // False when the signal file could not be read: signals are then silent.
    bool hasSignalSound() const { return m_hasSignal; }

  private:
    QElapsedTimer m_clock;
    QThread* m_thread = nullptr;
    SoundOutput* m_output = nullptr;  // lives on the audio thread
    ToneStream* m_stream = nullptr;   // owned by m_output
    bool m_hasSignal = false;
    QHash<QString, int> m_clipIndex;  // word name -> the mixer's clip
    qint64 m_lastBeepUs = -1;
};

}  // namespace norak
