#include "platform/audio/SoundOutput.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QThread>
#include <utility>

#include "platform/audio/AlsaOutput.h"
#include "platform/audio/ServerOutputs.h"
#include "platform/audio/ToneMixer.h"
#include "platform/audio/ToneStream.h"
#include "platform/qt/ThreadPriority.h"

namespace norak {

namespace {

constexpr int kBlockBytes = ToneMixer::kSampleRate * SoundOutput::kBlockMs / 1000;
constexpr int kIdleStepMs = 50;
// A server that has not listed its outputs in this time counts as none until the next count. A
// count takes a few milliseconds; the budget stays within the server's buffer, so that a count
// that runs out of it still does not leave the stream without sound.
constexpr int kCountBudgetMs = 200;

uint32_t bytesForMs(int ms) {
    return uint32_t(ToneMixer::kSampleRate * ms / 1000);  // one byte per frame
}

}  // namespace

SoundOutput::SoundOutput(ToneStream* stream, QObject* parent, const QByteArrayList& alsaDevices)
    : QObject(parent), m_stream(stream), m_alsaDevices(alsaDevices), m_alsa(std::make_unique<AlsaOutput>()) {
    m_stream->setParent(this);
}

SoundOutput::~SoundOutput() {
    close();
}

void SoundOutput::countDevices() {
    // The server's outputs, counted on this thread with nothing of the sound library left running
    // afterwards; a stream straight to a card is an output as well.
    const int count = countServerOutputs(kCountBudgetMs);
    m_deviceCount.store(count == 0 && m_onAlsa.load() ? 1 : count);
}

void SoundOutput::begin() {
    // On a busy machine a late write leaves the server's buffer empty: the tone is cut or split.
    ThreadPriority::raiseCurrentThread(ThreadPriority::Role::Audio);
    if (!m_stream->isOpen())
        m_stream->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    qint64 lastAttemptUs = m_stream->nowUs();
    qint64 lastCountUs = lastAttemptUs;
    open();
    countDevices();  // after the first open, which may have found a card without a server

    char block[kBlockBytes];
    while (!m_stop.load()) {
        const qint64 now = m_stream->nowUs();
        if (now - lastCountUs >= qint64(kCountIntervalMs) * 1000) {
            lastCountUs = now;
            countDevices();
        }
        if (!isOpen()) {
            if (now - lastAttemptUs >= qint64(kRetryIntervalMs) * 1000) {
                lastAttemptUs = now;
                if (open())
                    countDevices();  // a card found without a server counts at once
            }
            if (!isOpen())
                QThread::msleep(kIdleStepMs);
            continue;
        }
        if (m_onAlsa.load() && now - lastAttemptUs >= qint64(kRetryIntervalMs) * 1000) {
            // A server that has come (back) takes over, and gets the card that this stream frees.
            lastAttemptUs = now;
            if (openServer()) {
                m_alsa->close();
                m_onAlsa.store(false);
            }
        }
        // The write returns once the server's (or the card's) buffer has taken the block, so the
        // stream is read at the pace the sound plays.
        m_stream->read(block, kBlockBytes);
        if (!writeBlock(block, kBlockBytes)) {
            close();
            lastAttemptUs = m_stream->nowUs();
        }
    }
    close();
}

bool SoundOutput::isOpen() const {
    return m_pulse || m_alsa->isOpen();
}

bool SoundOutput::open() {
    return openServer() || openAlsa();
}

bool SoundOutput::writeBlock(const char* block, int bytes) {
    if (m_pulse) {
        int error = 0;
        return pa_simple_write(m_pulse, block, size_t(bytes), &error) >= 0;
    }
    return m_alsa->write(block, bytes);  // one byte per frame
}

bool SoundOutput::openAlsa() {
    for (const QByteArray& device : m_alsaDevices) {
        if (m_alsa->open(device, ToneMixer::kSampleRate, kBufferMs)) {
            m_stream->restart();
            m_onAlsa.store(true);
            ++m_opened;
            return true;
        }
    }
    return false;
}

bool SoundOutput::openServer() {
    pa_sample_spec format{};
    format.format = PA_SAMPLE_U8;
    format.rate = ToneMixer::kSampleRate;
    format.channels = 1;
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = bytesForMs(kBufferMs);
    buffer.prebuf = uint32_t(-1);
    buffer.minreq = bytesForMs(kBlockMs);
    buffer.fragsize = uint32_t(-1);

    int error = 0;
    m_pulse = pa_simple_new(nullptr, "NORAK", PA_STREAM_PLAYBACK, nullptr, "Señales", &format, nullptr,
                            &buffer, &error);
    if (!m_pulse)
        return false;
    // The sound library moves the blocks to the server from a thread of its own, which must be
    // as punctual as this one.
    ThreadPriority::raiseThreadsNamed(QByteArrayLiteral("threaded-ml"), ThreadPriority::Role::Audio);
    m_stream->restart();
    ++m_opened;
    return true;
}

void SoundOutput::close() {
    if (pa_simple* pulse = std::exchange(m_pulse, nullptr))
        pa_simple_free(pulse);
    m_alsa->close();
    m_onAlsa.store(false);
}

}  // namespace norak
