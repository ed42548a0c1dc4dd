// Takes the screenshots shown in the README from the real windows, and a sample export file:
//   norak_screenshots OUTPUT_FOLDER
// The windows run on the fake platform, so that time moves only when this program moves it: a
// test is driven the way the window's own timers drive it (every 10 ms the effort or recovery
// tick, every 100 ms the clock tick) until it reaches the moment each screenshot shows. Needs a
// real display (tools/screenshots.sh starts Xvfb); each window is grabbed into a PNG. At the end
// the report of that test is made through "Informe" (report-example.pdf, and the signal log
// beside it).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QRadioButton>
#include <QSpinBox>
#include <cstdio>

#include "platform/fakes/FakePlatform.h"
#include "results/ResultsTable.h"
#include "results/RunRecord.h"
#include "results/TestRun.h"
#include "shell/ConfigPanel.h"
#include "shell/ReportPrinter.h"
#include "shell/ResultsPanel.h"
#include "shell/RunAssembly.h"
#include "shell/TestFut1.h"
#include "shell/UnitINI.h"
#include "shell/controls/Fonts.h"

namespace {

using norak::TestSession;

// Lets the event loop lay out and paint for a moment.
void settle(int ms = 300) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget& window, const QString& folder, const QString& name) {
    settle();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    QImageWriter writer(path, "png");
    if (!writer.write(window.grab().toImage())) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Moves fake time in 10 ms steps, ticking the window's handlers as its timers would, until
// `done` holds (or a limit of simulated time passes).
template <typename Done>
bool runUntil(norak::TForm1& window, norak::FakePlatform& fakes, qint64& elapsed, Done done) {
    for (qint64 limit = elapsed + 20 * 60 * 1000; elapsed < limit; elapsed += 10) {
        if (done())
            return true;
        fakes.ticks.advance(10);
        fakes.clock.advanceMs(10);
        const TestSession& session = window.session();
        if (session.isTimerOn(TestSession::Timer::Effort)) {
            window.Timer1Timer();
        } else if (session.isTimerOn(TestSession::Timer::Recovery)) {
            window.Timer2Timer();
        }
        if ((elapsed + 10) % 100 == 0)
            window.Timer3Timer();
    }
    std::fprintf(stderr, "the test did not reach the wanted moment\n");
    return false;
}

// Copies a file the fake file system holds into the output folder.
bool keep(const norak::FakePlatform& fakes, const QString& fakePath, const QString& folder,
          const QString& name) {
    QFile file(QDir(folder).filePath(name));
    if (!fakes.files.m_files.contains(fakePath) || !file.open(QIODevice::WriteOnly) ||
        file.write(fakes.files.m_files.value(fakePath)) < 0) {
        std::fprintf(stderr, "%s was not written\n", qPrintable(fakePath));
        return false;
    }
    std::printf("%s\n", qPrintable(file.fileName()));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: norak_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    norak::installFontSubstitutions();

    norak::FakePlatform fakes;
    fakes.clock.set(QDateTime(QDate(2026, 12, 7), QTime(18, 30, 0)));
    norak::Platform platform = fakes.platform();
    bool ok = true;

    // The front window on its version page (no hand-over: it has no main window to make).
    {
        norak::HandOver handOver;
        norak::TFormINI front(platform, handOver);
        front.show();
        ok &= save(front, folder, QStringLiteral("front-window"));
    }

    norak::TForm1 window(4, platform);
    norak::ReportPrinter printer;
    window.features().record().setRenderer(&printer);
    window.features().record().setSoundOutputName(
        [] { return QStringLiteral("Servidor de sonido (PulseAudio)"); });
    window.show();
    ok &= save(window, folder, QStringLiteral("start-panel"));

    // "&Empezar..." opens the test screen; the help panel is open between tests.
    window.BitBtnEmpezarClick();
    window.BitBtnAyudaClick();
    ok &= save(window, folder, QStringLiteral("help-panel"));
    window.BitBtn3Click();

    // A group of eight, a stress test from period 4 without the warm-up.
    const char* names[][2] = {{"Ana", "V01"},   {"Lucía", "V02"}, {"Marta", "V03"}, {"Irene", "V04"},
                              {"Nerea", "V05"}, {"Sara", "V06"},  {"Paula", "V07"}, {"Elena", "V08"}};
    norak::ResultsTable& table = window.resultsPanel()->table();
    for (int row = 1; row <= 8; ++row) {
        table.setCell(1, row, QString::fromUtf8(names[row - 1][0]));
        table.setCell(2, row, QString::fromUtf8(names[row - 1][1]));
    }
    window.configPanel()->modeButton(norak::TestMode::Esfuerzo)->click();
    window.configPanel()->spinEdit()->setValue(4);
    if (window.configPanel()->warmUpBox()->isChecked())
        window.configPanel()->warmUpBox()->click();
    ok &= save(window, folder, QStringLiteral("test-ready"));
    window.BitBtnStartClick();

    // Mid-way through period 5, two players out (one in period 4, one in period 5).
    const TestSession& session = window.session();
    qint64 elapsed = 0;
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 4 && session.BeepCount() >= 30; });
    window.resultsPanel()->B01Click(6);
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 5 && session.BeepCount() >= 9; });
    window.resultsPanel()->B01Click(3);
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 5 && session.BeepCount() >= 16; });
    ok &= save(window, folder, QStringLiteral("test-running"));

    // Into the recovery after period 5.
    ok &= runUntil(window, fakes, elapsed, [&] { return session.isTimerOn(TestSession::Timer::Recovery); });
    ok &= runUntil(window, fakes, elapsed, [&, from = elapsed] { return elapsed - from >= 12000; });
    ok &= save(window, folder, QStringLiteral("recovery"));

    // One more dropout in period 6, then "Fin de la prueba" records the others, and the table
    // is exported: the file shows what the export writes (Windows-1252, CR LF).
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 6 && session.BeepCount() >= 20; });
    window.resultsPanel()->B01Click(1);
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 6 && session.BeepCount() >= 31; });
    window.BitBtnStopClick();
    ok &= save(window, folder, QStringLiteral("test-stopped"));
    const QString exportPath = QStringLiteral("/home/coach/Export/NORAK-Zevez.txt");
    fakes.saveDialog.m_answer = exportPath;
    window.resultsPanel()->BtnExportDatosClick();
    ok &= keep(fakes, exportPath, folder, QStringLiteral("export-example.txt"));

    // "Informe": the real PDF, its signal log beside it, and No to the print question.
    const QString reportPath = QStringLiteral("/home/coach/Export/report-example.pdf");
    fakes.saveDialog.m_answer = reportPath;
    fakes.messages.m_answers = {false};
    window.resultsPanel()->BtnInformeClick();
    ok &= keep(fakes, reportPath, folder, QStringLiteral("report-example.pdf"));
    ok &= keep(fakes, QStringLiteral("/home/coach/Export/report-example_senales.txt"), folder,
               QStringLiteral("report-example_senales.txt"));

    // A second test with warnings, by the default rule (out after two consecutive): Irene warned
    // in period 4, then twice running in period 5 and out; Ana warned twice apart; Lucía just now.
    fakes.messages.m_answers = {false};  // the results were exported: nothing is asked
    window.BitBtnNuevoClick();
    window.BitBtnStartClick();
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 4 && session.BeepCount() >= 12; });
    window.testRun().warnAthlete(1);
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 4 && session.BeepCount() >= 20; });
    window.testRun().warnAthlete(1);
    window.testRun().warnAthlete(4);
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 5 && session.BeepCount() >= 3; });
    window.testRun().warnAthlete(4);
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 5 && session.BeepCount() >= 4; });
    window.testRun().warnAthlete(4);
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 5 && session.BeepCount() >= 5; });
    window.testRun().warnAthlete(2);
    ok &= save(window, folder, QStringLiteral("test-warnings"));
    // Held on screen for a look at the whole display (NORAK_SCREENSHOT_HOLD_MS).
    settle(qEnvironmentVariableIntValue("NORAK_SCREENSHOT_HOLD_MS"));
    ok &= runUntil(window, fakes, elapsed,
                   [&] { return session.CurrentPeriod() == 6 && session.BeepCount() >= 10; });
    window.BitBtnStopClick();
    const QString warningsReport = QStringLiteral("/home/coach/Export/report-warnings.pdf");
    fakes.saveDialog.m_answer = warningsReport;
    fakes.messages.m_answers = {false};
    window.resultsPanel()->BtnInformeClick();
    ok &= keep(fakes, warningsReport, folder, QStringLiteral("report-warnings.pdf"));
    ok &= keep(fakes, QStringLiteral("/home/coach/Export/report-warnings_senales.txt"), folder,
               QStringLiteral("report-warnings_senales.txt"));

    return ok ? 0 : 1;
}
