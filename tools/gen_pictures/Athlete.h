#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace norak::art {

// Colors of a player's kit.
struct Kit {
    QColor jersey;
    QColor trim;
    QColor shorts;
    QColor socks;
    QColor shoes;
    QColor shoeAccent;
    QColor skin;
    QColor hair;
    bool kneePads = false;
};

// A running player seen from the side, heading left, in flight just after the push-off: the
// toe of the back foot touches the ground at `toe`. `height` is the standing height in pixels.
// Lit from the upper left, with a light rim on the side facing the light.
void drawAthlete(QPainter& painter, QPointF toe, qreal height, const Kit& kit);

// The ground-contact shadow and floor reflection of the same figure.
void drawAthleteReflection(QPainter& painter, QPointF toe, qreal height, const Kit& kit, qreal opacity);

// A training cone standing on the ground at `base` (centre of its foot), `height` pixels tall.
void drawStandingCone(QPainter& painter, QPointF base, qreal height, const QColor& color);

}  // namespace norak::art
