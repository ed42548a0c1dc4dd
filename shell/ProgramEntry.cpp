#include "shell/ProgramEntry.h"

#include <QMessageBox>
#include <exception>
#include <memory>

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

int runProgram(int argc, char** argv, const ProgramAssembly& assemble) {
    GuardedApplication app(argc, argv, showLastResortError);
    const int code = runApplication(app, assemble, showLastResortError);
    return app.hasFailed() ? 1 : code;
}

}  // namespace norak
