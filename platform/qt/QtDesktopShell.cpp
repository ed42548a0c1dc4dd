#include "platform/qt/QtDesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace norak {

void QtDesktopShell::open(const QString& address) {
    // Whether a browser could be started is of no consequence to the program.
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

}  // namespace norak
