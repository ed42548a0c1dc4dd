#include "platform/SoundOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <utility>

#include "platform/ToneMixer.h"
#include "platform/ToneStream.h"

namespace norak {

SoundOutput::SoundOutput(ToneStream* stream, QObject* parent) : QObject(parent), m_stream(stream) {
    m_stream->setParent(this);
    m_checkTimer.setParent(this);
    m_checkTimer.setInterval(kCheckIntervalMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &SoundOutput::check);
}

SoundOutput::~SoundOutput() {
    close();
}

void SoundOutput::begin() {
    if (!m_stream->isOpen())
        m_stream->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_deviceCount.store(int(QMediaDevices::audioOutputs().size()));
    m_lastAttemptUs = m_stream->nowUs();
    open();
    m_checkTimer.start();
}

bool SoundOutput::sinkFailed() const {
    if (!m_sink)
        return true;
    if (m_sink->state() == QAudio::StoppedState)
        return true;
    if (m_sink->error() == QAudio::FatalError || m_sink->error() == QAudio::OpenError ||
        m_sink->error() == QAudio::IOError)
        return true;
    const qint64 now = m_stream->nowUs();
    const qint64 lastRead = m_stream->lastReadUs();
    const qint64 quietSince = lastRead < 0 ? m_openedUs : lastRead;
    return now - quietSince > qint64(kSilentSinkMs) * 1000;
}

void SoundOutput::check() {
    m_deviceCount.store(int(QMediaDevices::audioOutputs().size()));
    // Deleting a sink runs pending events of this thread, which may include the next check.
    if (m_checking || !sinkFailed())
        return;
    m_checking = true;
    reopen();
    m_checking = false;
}

void SoundOutput::reopen() {
    close();
    const qint64 now = m_stream->nowUs();
    if (now - m_lastAttemptUs < qint64(kRetryIntervalMs) * 1000)
        return;
    m_lastAttemptUs = now;
    open();
}

bool SoundOutput::open() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(ToneMixer::kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::UInt8);

    m_sink = new QAudioSink(device, format, this);
    m_sink->setBufferSize(qsizetype(ToneMixer::kSampleRate) * kBufferMs / 1000);
    m_stream->restart();
    m_openedUs = m_stream->nowUs();
    m_sink->start(m_stream);
    if (m_sink->state() == QAudio::StoppedState || m_sink->error() != QAudio::NoError) {
        close();
        return false;
    }
    ++m_opened;
    return true;
}

void SoundOutput::close() {
    QAudioSink* sink = std::exchange(m_sink, nullptr);
    if (!sink)
        return;
    sink->stop();
    delete sink;
}

}  // namespace norak
