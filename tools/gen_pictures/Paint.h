#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QVector>

namespace norak::art {

// A fresh white canvas of the given size, ready for antialiased painting.
QImage whiteCanvas(int width, int height);
QImage transparentCanvas(int width, int height);

// Three passes of a box blur approximate a Gaussian of the given radius. Works on
// premultiplied ARGB; other formats are converted.
QImage blurred(const QImage& source, int radius);

// A soft drop shadow of a shape, painted under whatever is drawn next.
void drawSoftShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, int blurRadius,
                    const QColor& color);

// Font of the drawings (Liberation Sans, metric twin of Arial).
QFont sansFont(qreal pixelSize, int weight = QFont::Normal, bool italic = false);

// Joints of the running-man pictogram, facing right, in hundredths of its height, feet at y = 0.
// The window icon (assets/icon/norak.svg) uses the same figure.
struct RunnerPose {
    QPointF head;
    qreal headRadius;
    QPointF shoulder;
    QPointF hip;
    QVector<QPointF> frontLeg;  // from the hip
    QVector<QPointF> backLeg;
    QVector<QPointF> frontArm;  // from the shoulder
    QVector<QPointF> backArm;
    qreal limb;   // stroke width of the limbs
    qreal torso;  // stroke width of the torso
};
const RunnerPose& runnerPose();

// Side-view running-man pictogram standing with its feet at `feet`, `height` pixels tall.
// A light halo keeps it readable on any ground.
void drawRunnerPictogram(QPainter& painter, QPointF feet, qreal height, bool facingLeft, const QColor& color,
                         const QColor& halo);

// A training cone seen from above: an orange disc with a rim and a small top opening.
void drawConeFromAbove(QPainter& painter, QPointF centre, qreal diameter,
                       const QColor& body = QColor(246, 128, 24));

// The course as a closed dotted line without direction.
void drawDottedLoop(QPainter& painter, const QVector<QPointF>& stations, const QColor& color,
                    qreal dotSize = 3.2);

// A straight arrowhead at `tip` pointing along `direction` (need not be normalised).
void drawArrowHead(QPainter& painter, QPointF tip, QPointF direction, qreal length, qreal width,
                   const QColor& fill, const QColor& outline);

// The course as a closed line with one arrow per leg, in increasing station order or against it.
void drawArrowLoop(QPainter& painter, const QVector<QPointF>& stations, bool increasing, const QColor& color);

// Text with a thin light outline, centred on a point.
void drawHaloText(QPainter& painter, QPointF centre, const QString& text, const QFont& font,
                  const QColor& color, const QColor& halo, qreal haloWidth = 3.0);

QPointF unit(QPointF v);
QPointF normal(QPointF v);  // v turned a quarter anticlockwise on screen, normalised
qreal length(QPointF v);

}  // namespace norak::art
