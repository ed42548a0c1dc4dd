#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <QVector>

namespace norak::art {

enum class Sport { Futbol, FutSal, Basket, Zevez };

// One cone of a course panel: the top-left corner and size of its circle in panel pixels.
struct ConeSpot {
    QPointF topLeft;
    QSizeF size;
    QPointF centre() const { return topLeft + QPointF(size.width() / 2, size.height() / 2); }
};

// The cones of a course panel in station order (14 or 12).
QVector<ConeSpot> coneSpots(Sport sport);
QVector<QPointF> coneCentres(Sport sport);

// Where the stations stand on the ground, in metres from the centre of the pitch or court
// (x to the right, y down the drawing), as the course is laid out.
QVector<QPointF> stationMetres(Sport sport);

// Metres on the ground to pixels of the course panel (332 x 489): fitted so that the drawn
// ground lies under the cones of the panel.
QTransform coursePanelTransform(Sport sport);

// Paints the playing surface with its markings inside `card` (pixels), on a rounded card with a
// soft shadow. `metres` maps ground metres to pixels.
void paintGround(QPainter& painter, Sport sport, const QTransform& metres, const QRectF& card);

// Distinctive colors of each ground.
QColor groundSurround(Sport sport);
QColor pathColor(Sport sport);

}  // namespace norak::art
