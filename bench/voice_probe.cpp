// Plays a recovery with the voice on through the real sound output: a few legs, the recovery
// (its alert 3 s before the end) with the spoken cues placed by VoiceCues, the departure and a
// few legs more; writes down when each signal and the alert were requested and where each word
// was planned, for bench/voice_audio.sh to compare with a recording.
//
//   voice_probe --log FILE [--recovery-ms MS] [--leg-ms MS] [--settle-ms MS]
//
// The log has one line per sound, in ms of the tick source: "signal T", "alert T" and
// "clip NAME T LENGTH".
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QThread>
#include <cstdio>

#include "platform/audio/ToneMixer.h"
#include "platform/qt/QtSound.h"
#include "platform/qt/QtTickSource.h"
#include "voice/VoiceClips.h"
#include "voice/VoiceCues.h"

using namespace norak;

namespace {

// Waits until the tick `due`, looking often: the moment of each request is what is logged, so
// a late look costs no accuracy in the comparison, only in the spacing of the sounds.
void waitUntil(const QtTickSource& ticks, qint64 due) {
    while (ticks.ticks() < due) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::usleep(500);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a recovery with the spoken cues."));
    parser.addHelpOption();
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Where the sounds are written down."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption recovery(QStringLiteral("recovery-ms"),
                                      QStringLiteral("Recovery length (30000)."), QStringLiteral("MS"),
                                      QStringLiteral("30000"));
    const QCommandLineOption leg(QStringLiteral("leg-ms"), QStringLiteral("Run time of a leg (1500)."),
                                 QStringLiteral("MS"), QStringLiteral("1500"));
    const QCommandLineOption settle(QStringLiteral("settle-ms"),
                                    QStringLiteral("Wait after the output opened (4000)."),
                                    QStringLiteral("MS"), QStringLiteral("4000"));
    parser.addOptions({log, recovery, leg, settle});
    parser.process(app);
    const qint64 recoveryMs = parser.value(recovery).toLongLong();
    const qint64 legMs = parser.value(leg).toLongLong();

    QFile logFile(parser.value(log));
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "voice_probe: cannot write the log (--log FILE)\n");
        return 2;
    }
    QTextStream out(&logFile);

    QtSound sound;
    QtTickSource ticks;
    QFile signalFile(QString::fromLatin1(QtSound::kSignalResource));
    const qint64 signalMs =
        signalFile.open(QIODevice::ReadOnly) ? VoiceClips::wavLengthMs(signalFile.readAll()) : 0;
    const qint64 alertMs = ToneMixer::makeAlertTone().size() * 1000 / ToneMixer::kSampleRate;
    VoiceCues cues(sound, ticks, VoiceSchedule(VoiceClips::lengthsIn(), signalMs, alertMs), 30);
    cues.setEnabled(true);
    if (sound.clipCount() == 0) {
        std::fprintf(stderr, "voice_probe: no spoken words in the resources\n");
        return 2;
    }

    qint64 at = ticks.ticks() + parser.value(settle).toLongLong();
    waitUntil(ticks, at);
    if (!sound.isStreamRunning()) {
        std::fprintf(stderr, "voice_probe: the sound output does not run\n");
        return 2;
    }
    const auto signal = [&](qint64 due) {
        waitUntil(ticks, due);
        const qint64 now = ticks.ticks();
        sound.playSignal();
        out << "signal " << now << '\n';
        return now;
    };
    for (int i = 0; i < 4; ++i)
        at = signal(at + legMs);
    // The last leg ends the period: the recovery is timed from it.
    const qint64 start = at;
    const qint64 alert = start + (recoveryMs - 3000) / 1000 * 1000;
    const qint64 departure = start + recoveryMs + 1;
    const RecoveryCue cue{7, QStringLiteral("7,8"), start, alert, departure, 30};
    cues.recoveryBegan(cue.nextPeriod, cue.speedText, start, alert, departure);
    for (const SpokenPhrase& phrase : cues.schedule().forRecovery(cue)) {
        for (const PlacedClip& clip : phrase.clips)
            out << "clip " << clip.name << ' ' << clip.startTick << ' ' << clip.lengthMs << '\n';
    }
    waitUntil(ticks, alert);
    sound.alert(kAlertWarning);
    out << "alert " << ticks.ticks() << '\n';
    at = signal(departure);
    for (int i = 0; i < 4; ++i)
        at = signal(at + legMs);
    waitUntil(ticks, at + 1500);
    std::printf("voice_probe: %lld ms recovery played, %d words available\n",
                static_cast<long long>(recoveryMs), sound.clipCount());
    return 0;
}
