// Draws every picture of the program and writes them under the given assets folder:
//   pictures/course/*.jpg, pictures/start/*.jpg, pictures/help/*.jpg, pictures/logo.jpg,
//   pictures/funder.jpg and pictures/icon.png. The desktop icon icon/norak.svg is written by hand
//   with the same shapes as pictures/icon.png.
//
//   QT_QPA_PLATFORM=offscreen gen_pictures <assets folder>

#include "Brand.h"
#include "CoursePictures.h"
#include "HelpDrawings.h"
#include "JpegWriter.h"
#include "StartPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QString>

#include <cstdio>

using namespace norak::art;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <assets folder>\n", argv[0]);
        return 2;
    }
    const QDir assets(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    auto jpeg = [&](const QImage& image, const QString& name) {
        ok = writeJpeg(image, assets.filePath(name), 90) && ok;
    };

    const struct {
        Sport sport;
        const char* name;
        int pictures;
    } courses[] = {{Sport::Futbol, "futbol", 5},
                   {Sport::Basket, "basket", 5},
                   {Sport::FutSal, "futsal", 5},
                   {Sport::Zevez, "zevez", 3}};
    for (const auto& course : courses) {
        for (int role = 1; role <= course.pictures; ++role) {
            jpeg(coursePicture(course.sport, role),
                 QStringLiteral("pictures/course/%1%2.jpg").arg(QLatin1String(course.name)).arg(role));
        }
        jpeg(helpDrawing(course.sport),
             QStringLiteral("pictures/help/%1.jpg").arg(QLatin1String(course.name)));
    }

    jpeg(startPicture(StartScene::Volleyball), QStringLiteral("pictures/start/zevez.jpg"));
    jpeg(startPicture(StartScene::Football), QStringLiteral("pictures/start/futbol.jpg"));
    jpeg(startPicture(StartScene::Futsal), QStringLiteral("pictures/start/futsal.jpg"));

    jpeg(makerLogo(), QStringLiteral("pictures/logo.jpg"));
    jpeg(funderLogo(), QStringLiteral("pictures/funder.jpg"));
    ok = writePng(programIcon(256), assets.filePath(QStringLiteral("pictures/icon.png"))) && ok;
    return ok ? 0 : 1;
}
