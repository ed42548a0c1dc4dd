#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <algorithm>
#include <memory>

#include "platform/fakes/FakePlatform.h"
#include "platform/qt/QtSound.h"
#include "results/CellText.h"
#include "results/ResultsActions.h"
#include "results/ResultsTable.h"
#include "shell/ConfigPanel.h"
#include "shell/ParametersPanel.h"
#include "shell/ResultsPanel.h"
#include "shell/RunDisplay.h"
#include "shell/TestFut1.h"
#include "shell/controls/FlatButton.h"
#include "support/FakeTime.h"
#include "support/FileSizeLimit.h"

using namespace norak;

// Faults around a running test window: a period line edited into something that is no number,
// the export folder gone, a disk that cannot take the export, no sound output. The run goes on,
// the operator is told once, and no result is lost.

namespace {

const QString kExportFailure =
    QStringLiteral("No se ha podido exportar el archivo de Registros de NORAK-Zevez.");

// A test window on fake time, driven as its timers would drive it.
struct RunningWindow {
    // `sound`: another sound output than the fake one.
    explicit RunningWindow(Sound* sound = nullptr) {
        const Platform platform{fakes.ticks,    fakes.clock,      sound ? *sound : fakes.sound,
                                fakes.messages, fakes.saveDialog, fakes.files,
                                fakes.shell};
        window = std::make_unique<TForm1>(kEditionZevez, platform);
        window->show();
        QCoreApplication::processEvents();  // the activation step
        window->BitBtnEmpezarClick();
    }

    ResultsTable& table() { return window->resultsPanel()->table(); }
    const TestSession& session() const { return window->session(); }

    void name(int row, const QString& text) { table().setData(table().index(row - 1, kColName), text); }

    // "Test de esfuerzo" from a period, without warm-up.
    void start(int period) {
        ConfigPanel* config = window->configPanel();
        if (config->warmUpBox()->isChecked())
            config->warmUpBox()->click();
        config->modeButton(TestMode::Esfuerzo)->click();
        config->spinEdit()->setValue(period);
        window->topButton(2)->click();
    }

    void run(qint64 ms) {
        norak::testing::FakeTime<TForm1> time(fakes, *window);
        for (qint64 t = 0; t < ms; t += 1000) {
            time.runFor(std::min<qint64>(1000, ms - t));
            QCoreApplication::processEvents();
        }
    }

    std::vector<FakeMessages::Shown> warnings() const {
        std::vector<FakeMessages::Shown> found;
        for (const FakeMessages::Shown& shown : fakes.messages.m_shown) {
            if (shown.kind == QStringLiteral("warning"))
                found.push_back(shown);
        }
        return found;
    }

    FakePlatform fakes;
    std::unique_ptr<TForm1> window;
};

// Selects the whole first line of the period table and types or pastes over it, as the operator
// would on the parameters panel.
void selectFirstLine(QPlainTextEdit* memo) {
    QTextCursor cursor(memo->document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
}

void pasteOverFirstLine(QPlainTextEdit* memo, const QString& text) {
    selectFirstLine(memo);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(MainWindowFaults, APeriodLineEditedIntoNoNumberIsToldOnceAndTheRunGoesOn) {
    RunningWindow w;
    w.name(1, QStringLiteral("Ana"));
    w.start(1);
    w.run(5000);
    ASSERT_EQ(w.session().BeepCount(), 1);  // 4214 ms

    // The operator types "x1y" over line 1, one key at a time, while the period runs: the run
    // keeps the line's old time until the line is left, then hears of the bad line once.
    QPlainTextEdit* memo = w.window->parametersPanel()->activeTableEdit();
    selectFirstLine(memo);
    const int signalsBefore = w.fakes.sound.m_signals;
    for (const char* key : {"x", "1"}) {
        QTest::keyClicks(memo, QString::fromLatin1(key));
        w.run(3000);
    }
    EXPECT_EQ(w.session().activeTable().front(), QStringLiteral("4214"));
    EXPECT_EQ(w.fakes.sound.m_signals, signalsBefore + 1);  // 8428 ms, at the old pace
    QTest::keyClicks(memo, QStringLiteral("y"));
    QTest::keyClick(memo, Qt::Key_Down);
    w.run(3000);
    EXPECT_EQ(w.session().activeTable().front(), QStringLiteral("x1y"));
    EXPECT_EQ(w.fakes.sound.m_signals, signalsBefore + 1);  // no signal from a line that is no number
    ASSERT_EQ(w.warnings().size(), 1u);
    EXPECT_EQ(w.warnings()[0].caption, QStringLiteral("Información"));
    EXPECT_TRUE(
        w.warnings()[0].text.startsWith(QStringLiteral("La línea 1 de la tabla de periodos («x1y»)")));
    EXPECT_TRUE(w.session().isRunning());
    EXPECT_EQ(w.window->runDisplay()->crono()->text(), QStringLiteral("00:14"));  // the clock goes on

    // Mended in one paste: pacing resumes from the interval begun at the last signal.
    pasteOverFirstLine(memo, QStringLiteral("1000"));
    w.run(10);
    EXPECT_EQ(w.fakes.sound.m_signals, signalsBefore + 2);
    w.run(1010);
    EXPECT_EQ(w.fakes.sound.m_signals, signalsBefore + 3);

    // A long paste that is no number: told again, quoted short and on one line.
    pasteOverFirstLine(memo, QStringLiteral("nueve\tmil ").repeated(100));
    w.run(3000);
    ASSERT_EQ(w.warnings().size(), 2u);
    EXPECT_TRUE(w.warnings()[1].text.contains(QStringLiteral("(«nueve mil nueve mil nueve mil …»)")))
        << w.warnings()[1].text.toStdString();
    EXPECT_EQ(w.fakes.sound.m_signals, signalsBefore + 3);

    // The athlete's result is taken from the live display as always.
    w.window->topButton(3)->click();
    EXPECT_EQ(w.table().cell(kColTime, 1), QStringLiteral("00:18"));
    EXPECT_EQ(w.table().cell(kColPeriods, 1), QStringLiteral("0"));
}

TEST(MainWindowFaults, TheExportFolderDeletedWhileTheProgramRunsIsMadeAgain) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString work = dir.filePath(QStringLiteral("work"));
    ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/Export")));
    RunningWindow w;
    w.fakes.files.m_useRealFiles = true;
    w.fakes.files.m_currentFolder = work;
    w.window->FormActivate();  // the export goes under the current folder
    w.name(1, QStringLiteral("Íñigo"));
    w.start(1);
    w.run(10000);

    // The export folder, and then the working folder itself, disappear during the test.
    const QString exportPath = work + QStringLiteral("/Export/NORAK-Zevez_06-12-26.txt");
    for (const QString& gone : {work + QStringLiteral("/Export"), work}) {
        ASSERT_TRUE(QDir(gone).removeRecursively());
        w.run(5000);
        if (w.session().isRunning())
            w.window->topButton(3)->click();
        w.fakes.saveDialog.m_answer = exportPath;
        w.window->resultsPanel()->BtnExportDatosClick();

        ASSERT_FALSE(w.fakes.saveDialog.m_requests.empty());
        EXPECT_EQ(w.fakes.saveDialog.m_requests.back().proposedPath, exportPath);
        const QByteArray file = readAll(exportPath);
        EXPECT_EQ(file.count("\r\n"), 16) << gone.toStdString();
        EXPECT_TRUE(file.contains(";1;\xCD\xF1igo;;00:15;0;"));
        EXPECT_TRUE(w.warnings().empty());
        EXPECT_EQ(w.table().resultsExported(), 1);
    }
}

TEST(MainWindowFaults, AnExportTheDiskCannotTakeLosesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RunningWindow w;
    w.fakes.files.m_useRealFiles = true;
    w.fakes.files.m_currentFolder = dir.path();
    w.window->FormActivate();
    w.name(1, QStringLiteral("Ana"));
    w.name(2, QStringLiteral("Begoña"));
    w.start(1);
    w.run(9000);
    w.window->resultsPanel()->B01Click(2);
    w.run(60000);
    w.window->topButton(3)->click();
    const QString result1 = w.table().cell(kColDistance, 1);
    const QString result2 = w.table().cell(kColDistance, 2);
    ASSERT_FALSE(result1.isEmpty());

    // An older export of the same name, and places no export can go.
    const QString older = dir.filePath(QStringLiteral("Export/NORAK-Zevez_06-12-26.txt"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Export"))));
    {
        QFile file(older);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("older export\r\n");
    }
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    {
        QFile file(plainFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QStringList places = {plainFile + QStringLiteral("/export.txt")};  // below a file: never writable
    const QString fullDevice = dir.filePath(QStringLiteral("full"));   // stands in for /dev/full
    if (::mknod(QFile::encodeName(fullDevice).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0)
        places << fullDevice;

    int failures = 0;
    for (const QString& place : places) {
        w.fakes.saveDialog.m_answer = place;
        w.window->resultsPanel()->BtnExportDatosClick();
        ++failures;
    }
    {
        norak::testing::FileSizeLimit disk(256);
        ASSERT_TRUE(disk.active());
        w.fakes.saveDialog.m_answer = older;
        w.window->resultsPanel()->BtnExportDatosClick();
        ++failures;
    }
    // Each time: the alert, the message, and nothing changed.
    ASSERT_EQ(int(w.warnings().size()), failures);
    for (const FakeMessages::Shown& shown : w.warnings())
        EXPECT_EQ(shown.text, kExportFailure);
    EXPECT_EQ(readAll(older), QByteArray("older export\r\n"));
    if (places.size() > 1) {
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(fullDevice).constData(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
    EXPECT_EQ(w.table().resultsExported(), 0);
    EXPECT_EQ(w.table().cell(kColDistance, 1), result1);
    EXPECT_EQ(w.table().cell(kColDistance, 2), result2);

    // New test still offers to save them; the export then goes where there is room.
    w.fakes.messages.m_answers = {true};
    w.fakes.saveDialog.m_answer = older;
    w.window->topButton(1)->click();
    EXPECT_EQ(w.fakes.messages.m_shown.back().caption, kSaveDataCaption);
    const QByteArray file = readAll(older);
    EXPECT_EQ(file.count("\r\n"), 16);
    EXPECT_TRUE(file.contains(";1;Ana;;01:09;0;" + result1.toLatin1() + ";"));
    EXPECT_TRUE(w.table().cell(kColDistance, 1).isEmpty());  // cleared only once saved
}

TEST(MainWindowFaults, WithoutASoundServerTheTestRunsSilentAndOnTime) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/norak-test/native");
    QtSound sound;
    RunningWindow w(&sound);
    // The operator is told at most once that no output was found, and only when the output was
    // counted as none: an output the audio thread has not counted yet is not missing.
    const int told = int(
        std::count_if(w.fakes.messages.m_shown.begin(), w.fakes.messages.m_shown.end(),
                      [](const FakeMessages::Shown& s) { return s.kind == QStringLiteral("information"); }));
    EXPECT_LE(told, 1);
    if (told == 1) {
        EXPECT_EQ(sound.outputDeviceCount(), 0);
    }

    w.name(1, QStringLiteral("Ana"));
    w.start(25);  // 951 ms
    QElapsedTimer real;
    real.start();
    w.run(60000);
    EXPECT_LT(real.elapsed(), 5000);  // no call waits for the sound output
    // The period's 36 signals have been given and its recovery runs.
    EXPECT_EQ(w.session().display().completedText, QStringLiteral("1"));
    EXPECT_TRUE(w.session().isTimerOn(TestSession::Timer::Recovery));
    w.window->topButton(3)->click();
    EXPECT_FALSE(w.table().cell(kColPeriods, 1).isEmpty());
}
