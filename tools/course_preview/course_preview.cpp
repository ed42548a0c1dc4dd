// Shows the main window's course panel and live run displays, laid out as in the test window,
// in one phase of a test: course_preview [zevez|futbol|basket|futsal] [idle|effort|recovery]
// With --save <file.png> it writes the window's picture and exits.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "engine/Edition.h"
#include "shell/CoursePanel.h"
#include "shell/MainGeometry.h"
#include "shell/QtColor.h"
#include "shell/RunDisplay.h"

using namespace norak;

namespace {

int editionOf(const QString& name) {
    if (name == QLatin1String("futbol"))
        return kEditionFutbol;
    if (name == QLatin1String("basket"))
        return kEditionBasket;
    if (name == QLatin1String("futsal"))
        return kEditionFutSal;
    return kEditionZevez;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString savePath;
    if (const qsizetype i = args.indexOf(QStringLiteral("--save")); i >= 0 && i + 1 < args.size()) {
        savePath = args.at(i + 1);
        args.remove(i, 2);
    }
    const EditionRecord edition = editionRecord(editionOf(args.value(0)));
    const QString phase = args.value(1, QStringLiteral("effort"));

    QWidget window;
    window.setFixedSize(geometry::kClient.size());
    window.setWindowTitle(edition.editionTitle);
    window.setAutoFillBackground(true);
    QPalette p = window.palette();
    p.setColor(QPalette::Window, qColor(edition.colorLight));
    window.setPalette(p);

    // Stand-ins for the neighbours, so the layout can be judged as a whole.
    auto* topBar = new QWidget(&window);
    topBar->setGeometry(geometry::kTopBar);
    topBar->setAutoFillBackground(true);
    QPalette tp = topBar->palette();
    tp.setColor(QPalette::Window, qColor(edition.colorMain));
    topBar->setPalette(tp);
    auto* right = new QWidget(&window);
    right->setGeometry(geometry::kRightArea);
    right->setAutoFillBackground(true);
    QPalette rp = right->palette();
    rp.setColor(QPalette::Window, Qt::white);
    right->setPalette(rp);

    auto* course = new CoursePanel(edition.course, &window);
    course->setGeometry(geometry::kCoursePanel);
    RunDisplay run(&window);
    run.setPanelColor(qColor(edition.colorMain));

    const int s = edition.stationsPerLap;
    if (phase == QLatin1String("recovery")) {
        course->lightCone(1);
        course->setRestMarkerVisible(true);
        course->bringPictureToFront(3);
        run.phasePanel()->setRecoveryBanner(QStringLiteral("Periodo de RECUPERACIÓN"));
        run.gauge()->setRecoveryMode(30);
        run.gauge()->setPosition(17);
        run.phasePanel()->showStopSign();
        run.crono()->setText(QStringLiteral("05:12"));
        run.completados()->setText(QStringLiteral("1"));
        run.distancia()->setText(
            QString::number(roundMetres(edition.signalsPerPeriod * edition.stationDistance)));
        run.velocidad()->setText(nominalSpeedText(2));
    } else if (phase == QLatin1String("effort")) {
        const int beeps = 16;
        course->lightCone(stationForSignal(edition.edition, s, beeps, 0));
        course->setRestMarkerVisible(false);
        course->bringPictureToFront(2);
        run.phasePanel()->setEffortBanner(QStringLiteral("Periodo de ESFUERZO"));
        run.gauge()->setEffortMode(edition.signalsPerPeriod);
        run.gauge()->setPosition(beeps);
        run.phasePanel()->showStartSign();
        run.vuelta()->setText(QString::number((beeps - 1) / s + 1));
        run.vuelta()->show();
        run.vueltaLabel()->show();
        run.crono()->setText(QStringLiteral("01:07"));
        run.distancia()->setText(QString::number(roundMetres(beeps * edition.stationDistance)));
        run.velocidad()->setText(nominalSpeedText(1));
    } else {
        course->lightCone(1);
        course->applyNewTestConeLook();
        course->setRestMarkerVisible(true);
        course->bringPictureToFront(1);
    }
    if (phase != QLatin1String("idle")) {
        run.banner()->show();
        run.gauge()->show();
    }

    window.move(0, 0);
    window.show();
    if (!savePath.isEmpty()) {
        QTimer::singleShot(300, &app, [&] {
            window.grab().save(savePath);
            app.quit();
        });
    }
    return app.exec();
}
