// Shows the front window alone, with fake system services, for looking at it on a screen:
//   front_preview [autores|about] [seconds]
// The hand-over is disabled (no main window factory); the program quits after the given time.
#include <QApplication>
#include <QTimer>

#include "platform/fakes/FakePlatform.h"
#include "shell/UnitINI.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/Fonts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    norak::installFontSubstitutions();
    norak::FakePlatform fakes;
    norak::Platform platform = fakes.platform();
    const QString page = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 4;

    norak::HandOver handOver;
    norak::TFormINI front(platform, handOver);
    if (page == QLatin1String("autores"))
        front.Btn_Autores->click();
    if (page == QLatin1String("about"))
        front.FlatButton4->show();
    front.show();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
