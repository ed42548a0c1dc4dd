// Soak run: a "Repetir periodo ..." test at the fastest period of the edition, left running for
// hours through the real test window, to show that the pacing and the memory stay as they were.
//
//   soak [--hours H]              simulated time on the fake tick counter (default 3 hours)
//   soak --realtime-minutes M     real time on the system's tick counter and the window's timers
//
// The window is driven as the event loop would drive it: in simulated time the 10 ms look and the
// precise wake-up at the moment the next signal is due, each at its own tick, and the clock look
// every 100 ms. The run starts with twelve named athletes; a few drop out and come back during the
// run. At the end the test is stopped and exported.
//
// The expected signal count is the elapsed time divided by the interval a run time gives: a
// signal falls at the first millisecond at which more than the run time has passed, so with a
// millisecond counter the signals of a run time R come R + 1 ms apart.
//
// Peak resident memory (VmHWM) is taken once the run has settled (after its first simulated or
// real minute) and at the end. Exit status 1 when the count is off by more than one signal or the
// peak grew by 1 MB or more.
//
// Last line: soak signals=N expected=N rss_start_kb=N rss_end_kb=N
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/fakes/FakePlatform.h"
#include "platform/qt/QtLocalClock.h"
#include "platform/qt/QtTickSource.h"
#include "results/AthleteRoster.h"
#include "results/ResultsTable.h"
#include "shell/ConfigPanel.h"
#include "shell/ResultsPanel.h"
#include "shell/TestFut1.h"
#include "shell/controls/FlatButton.h"

using namespace norak;

namespace {

// Peak resident set size of this process in kB.
long peakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

struct Options {
    double hours = 3.0;
    int realtimeMinutes = 0;
};

Options parse(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs \"Repetir periodo ...\" at the fastest period."));
    parser.addHelpOption();
    const QCommandLineOption hours(QStringLiteral("hours"),
                                   QStringLiteral("Simulated hours on the fake tick counter (3)."),
                                   QStringLiteral("H"), QStringLiteral("3"));
    const QCommandLineOption realtime(QStringLiteral("realtime-minutes"),
                                      QStringLiteral("Instead: minutes on the real timers."),
                                      QStringLiteral("M"), QStringLiteral("0"));
    parser.addOptions({hours, realtime});
    parser.process(app);
    Options o;
    o.hours = parser.value(hours).toDouble();
    o.realtimeMinutes = parser.value(realtime).toInt();
    return o;
}

// The test master's preparation: names typed, no warm-up, "Repetir periodo ..." at the last
// period of the table, Start.
void prepareAndStart(TForm1& window) {
    window.BitBtnEmpezarClick();
    ResultsTable& table = window.resultsPanel()->table();
    for (int row = 1; row <= table.dataRowCount(); ++row)
        table.setData(table.index(row - 1, 1), QStringLiteral("Atleta %1").arg(row));
    ConfigPanel* config = window.configPanel();
    if (config->warmUpBox()->isChecked())
        config->warmUpBox()->click();
    config->modeButton(TestMode::Repetir)->click();
    config->spinEdit()->setValue(config->spinEdit()->maximum());
    window.topButton(2)->click();
}

// Now and then an athlete drops out and is put back, as a test master would during a long run.
void dropOutAndBack(TForm1& window, int athlete) {
    ResultsPanel* results = window.resultsPanel();
    if (results->roster().isShown(athlete)) {
        results->B01Click(athlete);
    } else {
        results->table().setCurrentRow(athlete);
        results->Volveraactivar1Click();
    }
}

// Counts the signals and notes the tick of each, to show how late each interval ended.
class TimedSound : public Sound {
  public:
    // Room for the ticks of a run of `durationMs` is taken at once, so that noting them does not
    // count as growth (no run time is shorter than half a second).
    TimedSound(const TickSource& ticks, qint64 durationMs) : m_ticks(ticks) {
        m_at.reserve(std::size_t(durationMs / 500 + 1024));
    }
    int outputDeviceCount() override { return 1; }
    void playSignal() override { m_at.push_back(m_ticks.ticks()); }
    void alert(int) override {}
    void playClip(const QString&, qint64) override {}
    void cancelClips() override {}
    long count() const { return long(m_at.size()); }

    // Lateness of each interval beyond the run time + 1 ms, after the first `skip` signals.
    void printLateness(int runTime, long skip) const {
        std::vector<qint64> late;
        for (std::size_t i = std::size_t(skip) + 1; i < m_at.size(); ++i)
            late.push_back(m_at[i] - m_at[i - 1] - (runTime + 1));
        if (late.empty())
            return;
        std::sort(late.begin(), late.end());
        double sum = 0;
        for (qint64 l : late)
            sum += double(l);
        const auto over10 = std::count_if(late.begin(), late.end(), [](qint64 l) { return l > 10; });
        std::printf(
            "interval beyond run time + 1 ms: mean %.2f, p50 %lld, p99 %lld, max %lld ms; %lld of %zu "
            "intervals "
            "more than 10 ms late\n",
            sum / double(late.size()), static_cast<long long>(late[late.size() / 2]),
            static_cast<long long>(late[late.size() * 99 / 100]), static_cast<long long>(late.back()),
            static_cast<long long>(over10), late.size());
    }

  private:
    const TickSource& m_ticks;
    std::vector<qint64> m_at;
};

struct Outcome {
    long signals = 0;
    long expected = 0;
    long rssStart = 0;
    long rssEnd = 0;
};

Outcome simulated(double hours) {
    FakePlatform fakes;
    TimedSound sound(fakes.ticks, qint64(hours * 3600000.0));
    Platform platform = fakes.platform();
    Platform timed{platform.ticks,      platform.clock, sound,         platform.messages,
                   platform.saveDialog, platform.files, platform.shell};
    TForm1 window(kEditionZevez, timed);
    window.show();
    QCoreApplication::processEvents();
    prepareAndStart(window);
    const TestSession& session = window.session();
    const int runTime = session.activeTable().at(int(session.CurrentPeriod()) - 1).toInt();
    const long signalsAtStart = sound.count();  // the departure signal

    const qint64 start = fakes.ticks.ticks();
    const qint64 end = start + qint64(hours * 3600000.0);
    const qint64 settled = start + 60000;
    qint64 nextLook = start + 10;
    qint64 nextClock = start + 100;
    qint64 nextDrop = start + 600000;
    qint64 nextEvents = start + 1000;
    int dropper = 1;
    Outcome out;
    while (fakes.ticks.ticks() < end) {
        const std::optional<qint64> due = session.nextDueTick();
        const qint64 next = std::min({nextLook, nextClock, due.value_or(nextLook)});
        fakes.clock.advanceMs(next - fakes.ticks.ticks());
        fakes.ticks.set(next);
        if (next == nextLook || (due && next == *due)) {
            window.Timer1Timer();
            if (next == nextLook)
                nextLook += 10;
        }
        if (next == nextClock) {
            window.Timer3Timer();
            nextClock += 100;
        }
        if (next >= nextDrop) {
            dropOutAndBack(window, dropper);
            dropper = dropper % 12 + 1;
            nextDrop += 600000;
        }
        if (next >= nextEvents) {
            QCoreApplication::processEvents();
            nextEvents += 1000;
        }
        if (out.rssStart == 0 && next >= settled)
            out.rssStart = peakRssKb();
    }
    out.rssEnd = peakRssKb();
    const qint64 elapsed = fakes.ticks.ticks() - start;
    out.signals = sound.count() - signalsAtStart;
    out.expected = long(elapsed / (runTime + 1));
    sound.printLateness(runTime, signalsAtStart - 1);

    std::printf("simulated %.2f h: run time %d ms, elapsed %lld ms, clock shows %s, lap %s, distance %s m\n",
                hours, runTime, static_cast<long long>(elapsed), qPrintable(session.display().clockText),
                qPrintable(session.display().lapText), qPrintable(session.display().distanceText));
    window.topButton(3)->click();
    fakes.saveDialog.m_answer = QStringLiteral("/soak/export.txt");
    window.resultsPanel()->BtnExportDatosClick();
    const QByteArray file = fakes.files.m_files.value(QStringLiteral("/soak/export.txt"));
    std::printf("stopped and exported: %lld lines, %d messages shown\n",
                static_cast<long long>(file.count("\r\n")), int(fakes.messages.m_shown.size()));
    return out;
}

Outcome realtime(int minutes) {
    FakePlatform fakes;
    QtTickSource ticks;
    QtLocalClock clock;
    TimedSound sound(ticks, qint64(minutes) * 60000);
    Platform platform{ticks, clock, sound, fakes.messages, fakes.saveDialog, fakes.files, fakes.shell};
    TForm1 window(kEditionZevez, platform);
    window.show();
    QCoreApplication::processEvents();
    prepareAndStart(window);
    const TestSession& session = window.session();
    const int runTime = session.activeTable().at(int(session.CurrentPeriod()) - 1).toInt();
    const long signalsAtStart = sound.count();
    const qint64 start = ticks.ticks();

    Outcome out;
    QEventLoop loop;
    QTimer::singleShot(60000, [&] { out.rssStart = peakRssKb(); });
    int dropper = 1;
    QTimer drops;
    QObject::connect(&drops, &QTimer::timeout, [&] {
        dropOutAndBack(window, dropper);
        dropper = dropper % 12 + 1;
    });
    drops.start(60000);
    QTimer::singleShot(minutes * 60000, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 elapsed = ticks.ticks() - start;
    out.rssEnd = peakRssKb();
    out.signals = sound.count() - signalsAtStart;
    out.expected = long(elapsed / (runTime + 1));
    sound.printLateness(runTime, signalsAtStart - 1);
    std::printf("real time %d min: run time %d ms, elapsed %lld ms, clock shows %s\n", minutes, runTime,
                static_cast<long long>(elapsed), qPrintable(session.display().clockText));
    window.topButton(3)->click();
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    // Offscreen when there is no display: the window is driven, never looked at.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options options = parse(app);
    QElapsedTimer timer;
    timer.start();
    const Outcome out =
        options.realtimeMinutes > 0 ? realtime(options.realtimeMinutes) : simulated(options.hours);
    std::printf("took %.1f s of real time\n", double(timer.elapsed()) / 1000.0);
    std::printf("soak signals=%ld expected=%ld rss_start_kb=%ld rss_end_kb=%ld\n", out.signals, out.expected,
                out.rssStart, out.rssEnd);
    const bool countRight = std::labs(out.signals - out.expected) <= 1;
    const bool memoryFlat = out.rssEnd - out.rssStart < 1024;
    return countRight && memoryFlat ? 0 : 1;
}
