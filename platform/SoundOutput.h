#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>

class QAudioSink;

namespace norak {

class ToneStream;

// Keeps one audio sink pulling from the tone stream for the whole life of the program. Lives on
// the audio thread. When the sink fails, the sound server goes away or there is no output device
// at all, it tries again every few seconds; nobody ever waits for it.
//
// Every Qt Multimedia call of the program is made here, on this one thread: Qt's PulseAudio
// connection object belongs to the thread that first used it, and when the server goes away it
// must tell the sink directly, before it drops the connection (told across threads, the sink
// closes its stream on a connection already gone, which made the client library abort when
// measured). Qt 6.4 itself reconnects to the server once, three seconds after losing it; if the
// server is not back by then, no output can be opened again until the program restarts.
class SoundOutput : public QObject {
    Q_OBJECT

  public:
    static constexpr int kCheckIntervalMs = 1000;
    static constexpr int kRetryIntervalMs = 3000;
    // A sink that claims to run but has not pulled for this long is taken as dead.
    static constexpr int kSilentSinkMs = 2000;
    // The sink's buffer. Qt tops it up on a 20 ms timer and lets it run up to two pulls short,
    // so it survives a stall of this thread (or of the sound server) of the buffer less 40 ms.
    // 100 ms was measured to run dry whenever the machine stalled for 100-150 ms; 250 ms did
    // not. The cost is a constant delay of every sound, which pacing does not mind.
    static constexpr int kBufferMs = 250;

    // Takes ownership of the stream (it becomes a child).
    explicit SoundOutput(ToneStream* stream, QObject* parent = nullptr);
    ~SoundOutput() override;

    // Output devices the system offers, as last counted on the audio thread; -1 until the first
    // count. Any thread. (All Qt Multimedia calls stay on the audio thread: its sound server
    // connection must not be shared between threads.)
    int deviceCount() const { return m_deviceCount.load(); }
    // Sinks opened successfully so far (any thread).
    int opened() const { return m_opened.load(); }

  public Q_SLOTS:
    // Opens the output and starts watching it; called once the audio thread runs.
    void begin();

  private:
    void check();
    void reopen();
    bool open();
    void close();
    bool sinkFailed() const;

    ToneStream* m_stream;
    QAudioSink* m_sink = nullptr;
    QTimer m_checkTimer;
    qint64 m_lastAttemptUs = 0;
    qint64 m_openedUs = 0;
    bool m_checking = false;
    std::atomic<int> m_deviceCount{-1};
    std::atomic<int> m_opened{0};
};

}  // namespace norak
