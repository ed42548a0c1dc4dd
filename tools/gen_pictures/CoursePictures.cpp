#include "CoursePictures.h"

#include "Paint.h"

namespace norak::art {

namespace {

const QColor kFigure(24, 36, 64);

// Where the runner stands: just outside station 1, on the side away from the course.
QPointF runnerFeet(Sport sport, QPointF station1) {
    switch (sport) {
        case Sport::Zevez:
            return station1 + QPointF(31, 16);
        case Sport::Futbol:
            return station1 + QPointF(33, 22);
        case Sport::FutSal:
        case Sport::Basket:
            return station1 + QPointF(27, 22);
    }
    return station1;
}

}  // namespace

QImage coursePicture(Sport sport, int role) {
    QImage image = whiteCanvas(332, 489);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    paintGround(painter, sport, coursePanelTransform(sport), QRectF(6, 4, 320, 481));

    const QVector<ConeSpot> cones = coneSpots(sport);
    const QVector<QPointF> centres = coneCentres(sport);
    const QColor path = pathColor(sport);
    switch (role) {
        case 1:
            drawDottedLoop(painter, centres, path);
            break;
        case 2:
            drawArrowLoop(painter, centres, true, path);
            break;
        case 4:
            drawArrowLoop(painter, centres, false, path);
            break;
        default:
            break;
    }
    for (const ConeSpot& cone : cones) {
        drawConeFromAbove(painter, cone.centre(), std::max(cone.size.width(), cone.size.height()));
    }
    if (role == 1 || role == 3 || role == 5) {
        const qreal height = sport == Sport::Futbol ? 40 : 44;
        drawRunnerPictogram(painter, runnerFeet(sport, centres.first()), height, role != 5, kFigure,
                            QColor(255, 255, 255, 235));
    }
    painter.end();
    return image;
}

}  // namespace norak::art
