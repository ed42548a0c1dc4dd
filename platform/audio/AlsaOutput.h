#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QtGlobal>

typedef struct _snd_pcm snd_pcm_t;

namespace norak {

// A playback stream straight to an ALSA device, for machines with a sound card but no sound
// server: 8-bit unsigned mono, written a block at a time, each write returning once the device
// has taken it. Opening never waits for a busy device. A device that takes sound faster than it
// could play (the null device, a file) is held to the pace of the clock, so that the stream
// never runs away from the moments its sounds are placed for.
class AlsaOutput {
  public:
    // How far the stream may run ahead of the clock before writes are slowed down: well beyond
    // any real device's buffer and its drift over a long test.
    static constexpr qint64 kMaxAheadMs = 1000;

    AlsaOutput() = default;
    ~AlsaOutput();
    AlsaOutput(const AlsaOutput&) = delete;
    AlsaOutput& operator=(const AlsaOutput&) = delete;

    // Opens the device (an ALSA name such as "default") with a buffer of about bufferMs.
    bool open(const QByteArray& device, unsigned rate, int bufferMs);
    bool isOpen() const { return m_pcm != nullptr; }
    // Writes whole frames; recovers from an underrun. False when the device is lost: it is then
    // closed.
    bool write(const char* frames, qint64 count);
    void close();

  private:
    snd_pcm_t* m_pcm = nullptr;
    unsigned m_rate = 0;
    qint64 m_written = 0;
    QElapsedTimer m_since;
};

}  // namespace norak
