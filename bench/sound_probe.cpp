// Plays signals through the real sound output at known moments and writes down when each was
// requested, for bench/audio_onsets.sh to compare with the onsets found in a recording.
//
//   sound_probe [--count N] [--intervals 600,487,...] [--wav FILE] [--log FILE] [--settle-ms MS]
//               [--alert-burst] [--watch-ms MS]
//
// --intervals: run times (ms) of the successive intervals, used in turn; each interval is timed
//   from the previous signal with a 10 ms pacing timer armed for the due moment.
// --wav: the signal sound to use when the program's own resource cannot be read.
// --alert-burst: after the signals, asks for the alert every 10 ms for one second, as the
//   recovery tick does; one alert must be heard.
// --watch-ms: instead of the above, gives one signal a second for MS milliseconds and prints
//   whether the output stream runs (to watch it recover when the sound server restarts).
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <vector>

#include "platform/qt/PacingTimer.h"
#include "platform/qt/QtSound.h"
#include "platform/qt/QtTickSource.h"

using namespace norak;

namespace {

struct Options {
    int count = 40;
    std::vector<int> intervals{600, 487, 853, 520};
    QString wav;
    QString log;
    int settleMs = 6000;
    bool alertBurst = false;
    int watchMs = 0;
};

Options parse(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays signals through the sound output at known moments."));
    parser.addHelpOption();
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Signals to play (40)."),
                                   QStringLiteral("N"), QStringLiteral("40"));
    const QCommandLineOption intervals(QStringLiteral("intervals"),
                                       QStringLiteral("Run times in turn (600,487,853,520)."),
                                       QStringLiteral("MS,..."), QStringLiteral("600,487,853,520"));
    const QCommandLineOption wav(QStringLiteral("wav"),
                                 QStringLiteral("Signal sound when the built-in one is missing."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("One line per signal requested."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption settle(QStringLiteral("settle-ms"),
                                    QStringLiteral("Wait after the output opened (6000)."),
                                    QStringLiteral("MS"), QStringLiteral("6000"));
    const QCommandLineOption alertBurst(
        QStringLiteral("alert-burst"),
        QStringLiteral("Then the alert every 10 ms for a second: one must be heard."));
    const QCommandLineOption watch(
        QStringLiteral("watch-ms"),
        QStringLiteral("Instead: a signal a second for MS, printing whether the output runs."),
        QStringLiteral("MS"), QStringLiteral("0"));
    parser.addOptions({count, intervals, wav, log, settle, alertBurst, watch});
    parser.process(app);

    Options o;
    o.count = parser.value(count).toInt();
    o.intervals.clear();
    for (const QString& part : parser.value(intervals).split(QLatin1Char(',')))
        o.intervals.push_back(part.toInt());
    o.wav = parser.value(wav);
    o.log = parser.value(log);
    o.settleMs = parser.value(settle).toInt();
    o.alertBurst = parser.isSet(alertBurst);
    o.watchMs = parser.value(watch).toInt();
    return o;
}

void waitMs(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options = parse(app);

    // One sound output only, as in the program: its audio thread owns the sound server
    // connection for the whole run.
    const QString builtIn = QString::fromLatin1(QtSound::kSignalResource);
    const bool useBuiltIn = QFile::exists(builtIn) || options.wav.isEmpty();
    auto sound = std::make_unique<QtSound>(useBuiltIn ? builtIn : options.wav);
    std::printf("signal sound: %s\n", qPrintable(useBuiltIn ? builtIn : options.wav));
    if (!sound->hasSignalSound()) {
        std::fprintf(stderr, "sound_probe: no signal sound to play\n");
        return 2;
    }
    std::printf("output devices: %d\n", sound->outputDeviceCount());

    QtTickSource ticks;
    QElapsedTimer clock;  // microseconds of the requests, for the log
    clock.start();

    if (options.watchMs > 0) {
        const qint64 end = ticks.ticks() + options.watchMs;
        qint64 next = ticks.ticks() + 1000;
        while (ticks.ticks() < end) {
            waitMs(int(next - ticks.ticks()));
            sound->playSignal();
            std::printf("t=%6.1f s stream %s\n", double(ticks.ticks()) / 1000.0,
                        sound->isStreamRunning() ? "running" : "down");
            std::fflush(stdout);
            next += 1000;
        }
        return 0;
    }

    // Let the stream settle, as the program does between its start and the first test interval's
    // end: front window 2 s, mode and Start, then period 1's run time (4.2 s in Zevez).
    waitMs(options.settleMs);
    if (!sound->isStreamRunning())
        std::printf("warning: the output stream is not running\n");

    // Paced as the program paces a period: each interval is timed from the tick at which the
    // previous signal was given ("more than the run time has passed" decides).
    std::vector<qint64> requestUs;
    std::vector<qint64> intervalMs;
    PacingTimer timer;
    int given = 0;
    qint64 lastSignalTick = ticks.ticks();
    qint64 runTime = 300;
    QEventLoop loop;
    QObject::connect(&timer, &PacingTimer::timeout, [&] {
        const qint64 now = ticks.ticks();
        if (now - lastSignalTick <= runTime) {
            timer.armAt(lastSignalTick + runTime, ticks);
            return;
        }
        requestUs.push_back(clock.nsecsElapsed() / 1000);
        sound->playSignal();
        intervalMs.push_back(runTime);
        lastSignalTick = now;
        ++given;
        if (given >= options.count) {
            timer.stop();
            loop.quit();
            return;
        }
        runTime = options.intervals[size_t(given - 1) % options.intervals.size()];
        timer.armAt(lastSignalTick + runTime, ticks);
    });
    timer.start(10);
    timer.armAt(lastSignalTick + runTime, ticks);
    loop.exec();

    qint64 alertFrom = -1;
    if (options.alertBurst) {
        waitMs(1500);
        alertFrom = clock.nsecsElapsed() / 1000;
        for (int i = 0; i < 100; ++i) {
            sound->alert(kAlertWarning);
            waitMs(10);
        }
    }
    // Let the last sounds play out.
    waitMs(1500);

    if (!options.log.isEmpty()) {
        QFile file(options.log);
        if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            QTextStream out(&file);
            for (size_t i = 0; i < requestUs.size(); ++i)
                out << "signal " << requestUs[i] << ' ' << intervalMs[i] << '\n';
            if (alertFrom >= 0)
                out << "alertburst " << alertFrom << '\n';
        }
    }
    std::printf("signals requested: %d; output opened %d time(s), placement clock moved %d time(s)\n", given,
                sound->streamOpenings(), sound->clockAdjustments());
    return 0;
}
