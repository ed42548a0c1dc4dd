#pragma once

#include <QByteArrayList>
#include <QObject>
#include <atomic>
#include <memory>

struct pa_simple;

namespace norak {

class AlsaOutput;
class ToneStream;

// Keeps one PulseAudio playback stream fed from the tone stream for the whole life of the
// program. Lives on the audio thread, where begin() plays until stop() is asked for: it reads the
// tone stream a block at a time and writes each block to the server, which takes it when its
// buffer has room. When there is no server, or the server goes away, the stream is opened again
// every few seconds, as often as it takes. Nobody else ever waits for it.
//
// Where no server answers but the machine has a sound card, the stream goes straight to the
// card through ALSA, with the same blocks and so the same placement of every sound; while it
// does, the server is looked for every few seconds and taken as soon as it answers.
//
// The stream talks to the server itself rather than through Qt's audio sink: Qt's connection to
// the sound server gives up for good when the server stays away for more than a few seconds, and
// the sound would then never come back.
//
// Nothing of the sound library outlives the output: begin() returns once the stream is closed
// (which stops the library's thread before it frees the stream), and the server's outputs are
// counted on the audio thread itself (ServerOutputs) rather than through Qt's device list. That
// list keeps a client thread of its own to the very end of the process, where Qt 6.4 disconnects
// it without taking its lock while that thread may still be dispatching: the SIGSEGV in
// `threaded-ml` seen once in some forty ends of the program.
class SoundOutput : public QObject {
    Q_OBJECT

  public:
    static constexpr int kBlockMs = 20;
    // What the server holds ahead of the playing moment. Each sound is placed at its stream frame
    // when that frame is read, so the buffer only delays all sounds alike and costs no accuracy;
    // but the sound server's own main loop, at normal priority on a busy machine, can stall for
    // a hundred milliseconds and more, and a smaller buffer then runs dry: tones come out split.
    static constexpr int kBufferMs = 300;
    static constexpr int kRetryIntervalMs = 3000;
    static constexpr int kCountIntervalMs = 1000;

    // The ALSA devices tried in turn when no sound server answers: the system's default, then
    // the first card itself (the default may lead to a server that is not there).
    static QByteArrayList defaultAlsaDevices() { return {"default", "plughw:0,0"}; }

    // Takes ownership of the stream (it becomes a child).
    explicit SoundOutput(ToneStream* stream, QObject* parent = nullptr,
                         const QByteArrayList& alsaDevices = defaultAlsaDevices());
    ~SoundOutput() override;

    // Output devices the system offers, as last counted on the audio thread; -1 until the first
    // count. Any thread.
    int deviceCount() const { return m_deviceCount.load(); }
    // Streams opened successfully so far, to a server or to ALSA (any thread).
    int opened() const { return m_opened.load(); }
    // The stream goes straight to an ALSA device (any thread).
    bool onAlsa() const { return m_onAlsa.load(); }
    // Ends begin() after the block being written (any thread).
    void stop() { m_stop.store(true); }

  public Q_SLOTS:
    // Plays until stop(); called once the audio thread runs.
    void begin();

  private:
    bool open();
    bool openServer();
    bool openAlsa();
    bool isOpen() const;
    bool writeBlock(const char* block, int bytes);
    void close();
    void countDevices();

    ToneStream* m_stream;
    pa_simple* m_pulse = nullptr;
    QByteArrayList m_alsaDevices;
    std::unique_ptr<AlsaOutput> m_alsa;
    std::atomic<bool> m_onAlsa{false};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_deviceCount{-1};
    std::atomic<int> m_opened{0};
};

}  // namespace norak
