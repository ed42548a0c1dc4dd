#include "Brand.h"

#include "Paint.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace norak::art {

namespace {

const QColor kNavy(22, 42, 74);
const QColor kTeal(0, 122, 140);
const QColor kOrange(243, 128, 30);

// The maker's mark: a ring on a teal disc whose tail runs out like a running lane.
void drawMakerMark(QPainter& p, QPointF centre, qreal radius) {
    p.save();
    QRadialGradient disc(centre - QPointF(radius * 0.4, radius * 0.5), radius * 1.6);
    disc.setColorAt(0.0, kTeal.lighter(135));
    disc.setColorAt(1.0, kTeal.darker(130));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);
    QPen ring(Qt::white, radius * 0.24, Qt::SolidLine, Qt::RoundCap);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    const qreal r = radius * 0.5;
    p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 60 * 16, 290 * 16);
    QPainterPath tail;
    tail.moveTo(centre + QPointF(r * 0.25, r * 0.35));
    tail.quadTo(centre + QPointF(r * 0.9, r * 1.05), centre + QPointF(r * 1.55, r * 1.05));
    p.drawPath(tail);
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    p.drawEllipse(centre + QPointF(r * 0.55, -r * 0.95), radius * 0.15, radius * 0.15);
    p.restore();
}

}  // namespace

QImage makerLogo() {
    QImage image = whiteCanvas(303, 40);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawMakerMark(p, QPointF(24, 20), 16);

    QFont name = sansFont(22, QFont::Black);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
    p.setFont(name);
    p.setPen(kNavy);
    p.drawText(QPointF(48, 23), QStringLiteral("QUELMAR"));
    const qreal nameWidth = QFontMetricsF(name).horizontalAdvance(QStringLiteral("QUELMAR"));

    QFont line = sansFont(9.5, QFont::Bold);
    line.setLetterSpacing(QFont::AbsoluteSpacing, 2.6);
    p.setFont(line);
    p.setPen(kTeal);
    p.drawText(QPointF(49, 35), QStringLiteral("SPORT SCIENCE"));

    // A quiet claim on the right, set off by a hairline.
    const qreal x = 48 + nameWidth + 14;
    p.setPen(QPen(QColor(200, 206, 214), 1));
    p.drawLine(QPointF(x, 8), QPointF(x, 32));
    p.setFont(sansFont(10, QFont::Normal, true));
    p.setPen(QColor(96, 104, 118));
    p.drawText(QPointF(x + 9, 18), QStringLiteral("Investigación y"));
    p.drawText(QPointF(x + 9, 31), QStringLiteral("tecnología deportiva"));
    return image;
}

QImage funderLogo() {
    QImage image = whiteCanvas(120, 60);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Emblem: three overlapping arcs, the people a foundation brings together.
    const QPointF centre(60, 19);
    const QColor colors[3] = {QColor(0, 94, 160), QColor(226, 150, 20), QColor(60, 150, 80)};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(i * 120 - 90);
        p.setPen(QPen(colors[i], 3.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-3, -10, 16, 16), 110 * 16, 200 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(colors[i]);
        p.drawEllipse(QPointF(10, -7), 2.6, 2.6);
        p.restore();
    }
    p.setPen(QColor(60, 66, 78));
    QFont small = sansFont(8, QFont::Bold);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.4);
    p.setFont(small);
    p.drawText(QRectF(0, 34, 120, 11), Qt::AlignCenter, QStringLiteral("FUNDACIÓN"));
    p.setFont(sansFont(10.5, QFont::Bold));
    p.setPen(kNavy);
    p.drawText(QRectF(0, 44, 120, 14), Qt::AlignCenter, QStringLiteral("Ciencia y Deporte"));
    return image;
}

QImage programIcon(int size) {
    // Drawn on a 256-unit grid; assets/icon/norak.svg carries the same shapes and numbers.
    QImage image = transparentCanvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    QLinearGradient ground(0, 0, 0, 256);
    ground.setColorAt(0.0, QColor(146, 166, 106));
    ground.setColorAt(1.0, QColor(94, 111, 62));
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    p.setBrush(QColor(255, 255, 255, 46));
    p.drawEllipse(QPointF(136, 216), 92, 9);

    // Cone.
    p.setBrush(QColor(214, 98, 16));
    p.drawRoundedRect(QRectF(170, 204, 56, 11), 3, 3);
    p.setBrush(kOrange);
    p.drawPolygon(QPolygonF({QPointF(180, 206), QPointF(193, 126), QPointF(203, 126), QPointF(216, 206)}));
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({QPointF(189.1, 156), QPointF(206.9, 156), QPointF(209.4, 172), QPointF(186.6, 172)}));

    // Runner, the pictogram of the course pictures at 1,6 units per hundredth, feet at (100, 212).
    const RunnerPose& pose = runnerPose();
    p.translate(100, 212);
    p.scale(1.6, 1.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, pose.limb, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QVector<QPointF>* part : {&pose.backArm, &pose.backLeg, &pose.frontLeg, &pose.frontArm}) {
        p.drawPolyline(part->constData(), int(part->size()));
    }
    p.setPen(QPen(Qt::white, pose.torso, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pose.shoulder, pose.hip);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(pose.head, pose.headRadius, pose.headRadius);
    return image;
}

}  // namespace norak::art
