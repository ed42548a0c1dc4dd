#include <QApplication>
#include <memory>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/SpanishTranslations.h"
#include "platform/qt/ThreadPriority.h"
#include "shell/ProgramEntry.h"
#include "shell/TestFut1.h"
#include "shell/UnitINI.h"

// No argument, environment variable or file is read: the build fixes the edition.
int main(int argc, char** argv) {
    std::unique_ptr<norak::QtPlatform> qtPlatform;
    std::unique_ptr<norak::Platform> platform;
    return norak::runProgram(argc, argv, [&](QApplication& app) {
        norak::installSpanishTranslations(app);
        // The signal and sound threads are raised as they begin to pace (ThreadPriority).
        norak::ThreadPriority::enable();
        // Lets the desktop match the windows with the installed desktop entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral(NORAK_DESKTOP_ID));
        qtPlatform = std::make_unique<norak::QtPlatform>();
        platform = std::make_unique<norak::Platform>(qtPlatform->platform());
        norak::ProgramParts parts;
        parts.platform = platform.get();
        parts.mainWindowFactory = [&](norak::HandOver& handOver) -> QWidget* {
            return new norak::TForm1(handOver.currentEdition(), *platform, [&](QWidget* mainWindow) {
                norak::TFormINI::showAbout(mainWindow, *platform, handOver);
            });
        };
        return parts;
    });
}
