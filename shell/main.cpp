#include <QApplication>
#include <memory>

#include "history/HistoryDatabase.h"
#include "history/RunHistory.h"
#include "platform/qt/DBusSleepInhibitor.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/SpanishTranslations.h"
#include "platform/qt/ThreadPriority.h"
#include "results/Journal.h"
#include "results/RunRecord.h"
#include "shell/ProgramEntry.h"
#include "shell/ReportPrinter.h"
#include "shell/RunAssembly.h"
#include "shell/TestFut1.h"
#include "shell/UnitINI.h"

// No argument, environment variable or file is read: the build fixes the edition.
int main(int argc, char** argv) {
    std::unique_ptr<norak::QtPlatform> qtPlatform;
    std::unique_ptr<norak::Platform> platform;
    std::unique_ptr<norak::DBusSleepInhibitor> inhibitor;
    norak::ReportPrinter reportPrinter;
    return norak::runProgram(argc, argv, [&](QApplication& app) {
        norak::installSpanishTranslations(app);
        // The signal and sound threads are raised as they begin to pace (ThreadPriority).
        norak::ThreadPriority::enable();
        // Lets the desktop match the windows with the installed desktop entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral(NORAK_DESKTOP_ID));
        qtPlatform = std::make_unique<norak::QtPlatform>();
        platform = std::make_unique<norak::Platform>(qtPlatform->platform());
        inhibitor = std::make_unique<norak::DBusSleepInhibitor>();
        norak::ProgramParts parts;
        parts.platform = platform.get();
        parts.mainWindowFactory = [&](norak::HandOver& handOver) -> QWidget* {
            auto* window = new norak::TForm1(handOver.currentEdition(), *platform, [&](QWidget* mainWindow) {
                norak::TFormINI::showAbout(mainWindow, *platform, handOver);
            });
            window->setSleepInhibitor(inhibitor.get());
            window->features().record().setRenderer(&reportPrinter);
            window->features().record().setSoundOutputName([&] { return qtPlatform->sound.outputName(); });
            window->features().enableJournal(norak::Journal::defaultFolder());
            window->keepHistory(norak::HistoryDatabase::defaultPath());
            window->features().history()->setSoundOutputName([&] { return qtPlatform->sound.outputName(); });
            return window;
        };
        return parts;
    });
}
