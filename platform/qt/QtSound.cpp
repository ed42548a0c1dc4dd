#include "platform/qt/QtSound.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include "platform/audio/SoundOutput.h"
#include "platform/audio/ToneMixer.h"
#include "platform/audio/ToneStream.h"
#include "platform/audio/WavDecoder.h"

namespace norak {

namespace {
constexpr qint64 kRunningWithinUs = 500000;
constexpr unsigned long kStopWaitMs = 3000;

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
}  // namespace

QtSound::QtSound(const QString& signalFile, const QString& voiceFolder) {
    m_clock.start();

    ToneMixer mixer;
    mixer.setSignalSound(decodeWavToMono8(readFile(signalFile), ToneMixer::kSampleRate));
    mixer.setAlertSound(ToneMixer::makeAlertTone());
    mixer.setAlertHoldFrames(kAlertHoldMs * ToneMixer::kSampleRate / 1000);
    m_hasSignal = !mixer.signalSound().isEmpty();
    const QDir voice(voiceFolder);
    for (const QString& name : voice.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
        const QByteArray samples = decodeWavToMono8(readFile(voice.filePath(name)), ToneMixer::kSampleRate);
        if (!samples.isEmpty())
            m_clipIndex.insert(name.chopped(4), mixer.addClip(samples));
    }

    m_stream = new ToneStream(m_clock, std::move(mixer));
    m_output = new SoundOutput(m_stream);
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("norak-audio"));
    m_output->moveToThread(m_thread);
    QObject::connect(m_thread, &QThread::started, m_output, &SoundOutput::begin);
    m_thread->start(QThread::TimeCriticalPriority);
}

QtSound::~QtSound() {
    m_output->stop();
    m_thread->quit();
    // The audio thread can hang inside the sound library when the server misbehaves; the program
    // must still end, so after a while it is left behind rather than waited for.
    if (!m_thread->wait(kStopWaitMs))
        return;
    // The thread has ended, so nothing runs on the output any more: it is deleted here rather
    // than left to a deferred deletion, which needs an application object, and the program ends
    // its application object first.
    delete m_output;
    delete m_thread;
}

int QtSound::outputDeviceCount() {
    // The audio thread counts at its start and every second after; the count itself asks the
    // sound server, which may be slow to answer, so the window never waits for it.
    return m_output->deviceCount();
}

bool QtSound::isStreamRunning() const {
    const qint64 lastRead = m_stream->lastReadUs();
    return lastRead >= 0 && m_stream->nowUs() - lastRead <= kRunningWithinUs;
}

QString QtSound::outputName() const {
    if (!isStreamRunning())
        return QStringLiteral("Ninguna (señales en silencio)");
    if (!m_hasSignal)
        return QStringLiteral("Sin sonido de señal");
    return m_output->onAlsa() ? QStringLiteral("Tarjeta de sonido (ALSA directo)")
                              : QStringLiteral("Servidor de sonido (PulseAudio)");
}

int QtSound::streamOpenings() const {
    return m_output->opened();
}

int QtSound::clockAdjustments() const {
    return m_stream->clockAdjustments();
}

void QtSound::playSignal() {
    if (m_hasSignal)
        m_stream->post(ToneStream::Kind::Signal, m_clock.nsecsElapsed() / 1000);
}

void QtSound::playClip(const QString& clip, qint64 delayMs) {
    const int index = m_clipIndex.value(clip, -1);
    if (index >= 0)
        m_stream->postClip(index, m_clock.nsecsElapsed() / 1000 + delayMs * 1000);
}

void QtSound::cancelClips() {
    m_stream->cancelClips(m_clock.nsecsElapsed() / 1000);
}

void QtSound::alert(int) {
    const qint64 now = m_clock.nsecsElapsed() / 1000;
    if (isStreamRunning()) {
        m_stream->post(ToneStream::Kind::Alert, now);
        return;
    }
    if (m_lastBeepUs >= 0 && now - m_lastBeepUs < kAlertHoldMs * 1000)
        return;
    m_lastBeepUs = now;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

}  // namespace norak
