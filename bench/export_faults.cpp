// Exports a finished test through the real test window and the real file system to each path
// given, and tells for each what the operator saw and what was left on the disk:
//
//   export_faults PATH...
//
// Used by bench/export_faults.sh on a full disk, a read-only folder and /dev/full. For each path:
// whether the export was reported as written or the failure message was shown, whether the
// results are still marked as not exported (so that New test offers to save them again), and
// what the target is afterwards (its size, or that it is still a device).
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QFile>
#include <QRadioButton>
#include <QSpinBox>
#include <cstdio>

#include "platform/fakes/FakePlatform.h"
#include "results/ResultsTable.h"
#include "shell/ConfigPanel.h"
#include "shell/ResultsPanel.h"
#include "shell/TestFut1.h"
#include "shell/controls/FlatButton.h"

using namespace norak;

namespace {

QString describe(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("absent");
    if (S_ISCHR(info.st_mode))
        return QStringLiteral("character device %1,%2").arg(major(info.st_rdev)).arg(minor(info.st_rdev));
    if (S_ISREG(info.st_mode))
        return QStringLiteral("file of %1 bytes").arg(info.st_size);
    return QStringLiteral("something else");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Exports a finished test to each path and tells what the operator saw and what is on the disk."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("paths"), QStringLiteral("Files to export to."),
                                 QStringLiteral("PATH..."));
    parser.process(app);
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        parser.showHelp(2);

    FakePlatform fakes;
    fakes.files.m_useRealFiles = true;
    TForm1 window(kEditionZevez, fakes.platform());
    window.show();
    QCoreApplication::processEvents();
    window.BitBtnEmpezarClick();
    ResultsTable& table = window.resultsPanel()->table();
    table.setData(table.index(0, 1), QStringLiteral("Ana"));
    table.setData(table.index(1, 1), QStringLiteral("Begoña"));
    ConfigPanel* config = window.configPanel();
    if (config->warmUpBox()->isChecked())
        config->warmUpBox()->click();
    config->modeButton(TestMode::Esfuerzo)->click();
    window.topButton(2)->click();
    for (int t = 0; t < 30000; t += 10) {
        fakes.ticks.advance(10);
        fakes.clock.advanceMs(10);
        window.Timer1Timer();
        window.Timer3Timer();
    }
    window.topButton(3)->click();

    int lost = 0;
    for (const QString& path : paths) {
        const QString before = describe(path);
        const std::size_t messagesBefore = fakes.messages.m_shown.size();
        table.setResultsExported(0);
        fakes.saveDialog.m_answer = path;
        window.resultsPanel()->BtnExportDatosClick();
        const bool told = fakes.messages.m_shown.size() > messagesBefore;
        const bool exported = table.resultsExported() == 1;
        std::printf("%s: %s; results %s; before: %s, after: %s\n", qPrintable(path),
                    told ? qPrintable(fakes.messages.m_shown.back().text) : "written",
                    exported ? "marked exported" : "still to be saved", qPrintable(before),
                    qPrintable(describe(path)));
        if (!told && !exported)
            ++lost;  // neither written nor told
        if (table.cell(5, 1).isEmpty())
            ++lost;
    }
    return lost == 0 ? 0 : 1;
}
