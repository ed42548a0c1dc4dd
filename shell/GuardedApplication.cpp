#include "shell/GuardedApplication.h"

#include <exception>

namespace norak {

GuardedApplication::GuardedApplication(int& argc, char** argv, ErrorReporter reporter)
    : QApplication(argc, argv), m_reporter(std::move(reporter)) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (!m_failed) {
            m_failed = true;
            if (m_reporter)
                m_reporter(QStringLiteral("5: ") + QString::fromLocal8Bit(error.what()));
            exit(1);
        }
    }
    return false;
}

}  // namespace norak
