#include "shell/ProgramEntry.h"

#include <QMessageBox>
#include <exception>
#include <memory>

#include "shell/GraphicalSession.h"
#include "shell/GuardedApplication.h"
#include "shell/controls/Fonts.h"

namespace norak {

void showLastResortError(const QString& text) {
    QMessageBox box(QMessageBox::Information, QCoreApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}

int runApplication(QApplication& app, const ProgramAssembly& assemble, const ErrorReporter& report) {
    try {
        QCoreApplication::setApplicationName(QStringLiteral("NORAK"));
        installFontSubstitutions();
        ProgramParts parts = assemble(app);
        if (parts.platform == nullptr)
            throw std::runtime_error("no platform services");
        // The first window created is the one shown when the event loop starts.
        HandOver handOver(parts.modalShow);
        auto front =
            std::make_unique<TFormINI>(*parts.platform, handOver, std::move(parts.mainWindowFactory));
        front->show();
        const int code = QApplication::exec();
        return code;
    } catch (const std::exception& error) {
        if (report)
            report(QStringLiteral("5: ") + QString::fromLocal8Bit(error.what()));
        return 1;
    }
}

namespace {
// The application object, made under the guard: without a graphical session the process ends
// there with one line and an exit code instead of an abort.
std::unique_ptr<GuardedApplication> makeApplication(int& argc, char** argv) {
    const GraphicalSessionGuard guard;
    return std::make_unique<GuardedApplication>(argc, argv, showLastResortError);
}
}  // namespace

int runProgram(int argc, char** argv, const ProgramAssembly& assemble) {
    const std::unique_ptr<GuardedApplication> application = makeApplication(argc, argv);
    GuardedApplication& app = *application;
    const int code = runApplication(app, assemble, showLastResortError);
    return app.hasFailed() ? 1 : code;
}

}  // namespace norak
