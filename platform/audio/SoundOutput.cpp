#include "platform/audio/SoundOutput.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QThread>
#include <utility>

#include "platform/audio/ToneMixer.h"
#include "platform/audio/ToneStream.h"
#include "platform/qt/ThreadPriority.h"

namespace norak {

namespace {

constexpr int kBlockBytes = ToneMixer::kSampleRate * SoundOutput::kBlockMs / 1000;
constexpr int kIdleStepMs = 50;

uint32_t bytesForMs(int ms) {
    return uint32_t(ToneMixer::kSampleRate * ms / 1000);  // one byte per frame
}

}  // namespace

SoundOutput::SoundOutput(ToneStream* stream, QObject* parent) : QObject(parent), m_stream(stream) {
    m_stream->setParent(this);
}

SoundOutput::~SoundOutput() {
    close();
}

void SoundOutput::countDevices() {
    m_deviceCount.store(int(QMediaDevices::audioOutputs().size()));
}

void SoundOutput::begin() {
    // On a busy machine a late write leaves the server's buffer empty: the tone is cut or split.
    ThreadPriority::raiseCurrentThread(ThreadPriority::Role::Audio);
    if (!m_stream->isOpen())
        m_stream->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    countDevices();
    qint64 lastAttemptUs = m_stream->nowUs();
    qint64 lastCountUs = lastAttemptUs;
    open();

    char block[kBlockBytes];
    while (!m_stop.load()) {
        const qint64 now = m_stream->nowUs();
        if (now - lastCountUs >= qint64(kCountIntervalMs) * 1000) {
            lastCountUs = now;
            countDevices();
        }
        if (!m_pulse) {
            if (now - lastAttemptUs >= qint64(kRetryIntervalMs) * 1000) {
                lastAttemptUs = now;
                open();
            }
            if (!m_pulse)
                QThread::msleep(kIdleStepMs);
            continue;
        }
        // The write returns once the server's buffer has taken the block, so the stream is read
        // at the pace the sound plays.
        m_stream->read(block, kBlockBytes);
        int error = 0;
        if (pa_simple_write(m_pulse, block, kBlockBytes, &error) < 0) {
            close();
            lastAttemptUs = m_stream->nowUs();
        }
    }
    close();
}

bool SoundOutput::open() {
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

    m_stream->restart();
    int error = 0;
    m_pulse = pa_simple_new(nullptr, "NORAK", PA_STREAM_PLAYBACK, nullptr, "Señales", &format, nullptr,
                            &buffer, &error);
    if (!m_pulse)
        return false;
    // The sound library moves the blocks to the server from a thread of its own, which must be
    // as punctual as this one.
    ThreadPriority::raiseThreadsNamed(QByteArrayLiteral("threaded-ml"), ThreadPriority::Role::Audio);
    ++m_opened;
    return true;
}

void SoundOutput::close() {
    if (pa_simple* pulse = std::exchange(m_pulse, nullptr))
        pa_simple_free(pulse);
}

}  // namespace norak
