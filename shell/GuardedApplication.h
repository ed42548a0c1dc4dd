#pragma once

#include <QApplication>
#include <functional>

namespace norak {

// The application object of the program. An exception of the general error kind that escapes an
// event handler is reported once through the reporter, and the application then terminates (all
// event loops, nested modal ones included, return).
class GuardedApplication : public QApplication {
    Q_OBJECT

  public:
    using ErrorReporter = std::function<void(const QString& text)>;

    GuardedApplication(int& argc, char** argv, ErrorReporter reporter);

    bool notify(QObject* receiver, QEvent* event) override;
    bool hasFailed() const { return m_failed; }

  private:
    ErrorReporter m_reporter;
    bool m_failed = false;
};

}  // namespace norak
