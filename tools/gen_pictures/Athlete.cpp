#include "Athlete.h"

#include "Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace norak::art {

namespace {

constexpr qreal kPi = 3.14159265358979323846;

// Convex hull (monotone chain) of a point set, as a closed polygon.
QPolygonF convexHull(QVector<QPointF> points) {
    std::sort(points.begin(), points.end(), [](const QPointF& a, const QPointF& b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    });
    auto cross = [](const QPointF& o, const QPointF& a, const QPointF& b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
    };
    QVector<QPointF> hull(points.size() * 2);
    int k = 0;
    for (int i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) {
            --k;
        }
        hull[k++] = points[i];
    }
    for (int i = int(points.size()) - 2, t = k + 1; i >= 0; --i) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) {
            --k;
        }
        hull[k++] = points[i];
    }
    hull.resize(std::max(0, k - 1));
    return QPolygonF(hull);
}

// A limb segment: the hull of two circles.
QPolygonF capsule(QPointF a, qreal ra, QPointF b, qreal rb) {
    QVector<QPointF> points;
    constexpr int kSteps = 28;
    for (int i = 0; i < kSteps; ++i) {
        const qreal t = 2 * kPi * i / kSteps;
        const QPointF d(std::cos(t), std::sin(t));
        points << a + d * ra << b + d * rb;
    }
    return convexHull(points);
}

// A chain of capsules through joints with their radii, filled as one shape.
QPainterPath limb(const QVector<QPointF>& joints, const QVector<qreal>& radii) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i + 1 < joints.size(); ++i) {
        path.addPolygon(capsule(joints[i], radii[i], joints[i + 1], radii[i + 1]));
        path.closeSubpath();
    }
    return path.simplified();
}

// Closed smooth curve through points (Catmull-Rom turned into cubic Béziers).
QPainterPath smoothClosed(const QVector<QPointF>& p) {
    QPainterPath path;
    const int n = int(p.size());
    path.moveTo(p[0]);
    for (int i = 0; i < n; ++i) {
        const QPointF p0 = p[(i + n - 1) % n];
        const QPointF p1 = p[i];
        const QPointF p2 = p[(i + 1) % n];
        const QPointF p3 = p[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

QPointF along(QPointF a, QPointF b, qreal t) {
    return a + (b - a) * t;
}

// Fills a body part lit from the upper left: a light rim on the lit edge, then the body color
// shaded across the part.
void shade(QPainter& p, const QPainterPath& part, const QColor& base, qreal rim = 0.55) {
    const QRectF box = part.boundingRect();
    p.save();
    p.setPen(Qt::NoPen);
    p.fillPath(part, base.lighter(165));
    p.setClipPath(part);
    QLinearGradient light(box.topLeft(), box.bottomRight());
    light.setColorAt(0.0, base.lighter(118));
    light.setColorAt(0.55, base);
    light.setColorAt(1.0, base.darker(150));
    p.fillPath(part.translated(rim, rim * 0.6), light);
    p.restore();
}

struct Skeleton {
    QPointF hip{4, -52};
    QPointF shoulder{-3, -79};
    QPointF head{-7.5, -92.5};
    // Near leg swings forward with the knee up; far leg pushes off behind.
    QPointF nearKnee{-14.5, -37.5};
    QPointF nearAnkle{-10.5, -14.5};
    QPointF nearHeel{-8.2, -12.6};
    QPointF nearToe{-21.0, -13.2};
    QPointF farKnee{14, -30};
    QPointF farAnkle{32.5, -15.5};
    QPointF farHeel{34.6, -17.2};
    QPointF farToe{29.2, -3.4};
    // Far arm swings forward, near arm back.
    QPointF farShoulder{-2.2, -79};
    QPointF farElbow{-12.5, -65.5};
    QPointF farWrist{-22.5, -75.5};
    QPointF nearElbow{12.0, -68.0};
    QPointF nearWrist{15.0, -54.0};
};

// The lowest point of the figure (the far toe's sole) sits at the origin.
QPointF groundOffset(const Skeleton& s) {
    return -(s.farToe + QPointF(0, 1.9));
}

void drawLeg(QPainter& p, const Skeleton& s, bool nearSide, const Kit& kit, qreal dim) {
    const QPointF knee = nearSide ? s.nearKnee : s.farKnee;
    const QPointF ankle = nearSide ? s.nearAnkle : s.farAnkle;
    const QPointF heel = nearSide ? s.nearHeel : s.farHeel;
    const QPointF toe = nearSide ? s.nearToe : s.farToe;
    auto tone = [dim](const QColor& c) { return dim > 0 ? c.darker(int(100 + dim)) : c; };

    const QPointF shinDir = unit(ankle - knee);
    const QPointF back(shinDir.y(), -shinDir.x());
    const QPainterPath thigh = limb({s.hip, along(s.hip, knee, 0.45), knee}, {5.0, 4.6, 3.1});
    const QPainterPath shin = limb({knee, along(knee, ankle, 0.3) + back * 0.9, ankle}, {3.0, 3.3, 1.7});
    shade(p, thigh, tone(kit.skin));
    shade(p, shin, tone(kit.skin));
    // Sock up to mid-shin.
    shade(p, limb({ankle, along(ankle, knee, 0.42) + back * 0.5}, {2.0, 3.05}), tone(kit.socks));
    // Shoe with a darker sole and a stripe.
    const QPainterPath shoe = limb({heel, along(heel, toe, 0.45), toe}, {2.2, 2.1, 1.8});
    shade(p, shoe, tone(kit.shoes), 0.35);
    const QPointF footDir = unit(toe - heel);
    const QPointF sole(-footDir.y(), footDir.x());
    p.save();
    p.setClipPath(shoe);
    p.fillPath(shoe.translated(-sole * 1.3), tone(kit.shoes).darker(170));
    p.fillPath(shoe.translated(-sole * 1.6), tone(kit.shoes));
    p.restore();
    p.save();
    p.setClipPath(shoe);
    p.setPen(QPen(tone(kit.shoeAccent), 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(along(heel, toe, 0.15) - sole * 0.3, along(heel, toe, 0.6) + sole * 0.6);
    p.restore();
    // Knee pad.
    if (kit.kneePads) {
        const QPointF thighDir = unit(knee - s.hip);
        shade(p, limb({knee - thighDir * 1.6, knee + shinDir * 2.8}, {3.7, 3.5}), tone(QColor(38, 40, 46)),
              0.35);
    }
    // Shorts over the top of the thigh.
    shade(p, limb({s.hip, along(s.hip, knee, 0.42)}, {5.3, 4.9}), tone(kit.shorts));
}

void drawArm(QPainter& p, QPointF shoulder, QPointF elbow, QPointF wrist, const Kit& kit, qreal dim) {
    auto tone = [dim](const QColor& c) { return dim > 0 ? c.darker(int(100 + dim)) : c; };
    const QPointF fistCentre = wrist + unit(wrist - elbow) * 1.6;
    shade(p, limb({shoulder, along(shoulder, elbow, 0.45), elbow}, {2.9, 2.6, 2.0}), tone(kit.skin));
    shade(p, limb({elbow, along(elbow, wrist, 0.35), wrist}, {2.0, 2.15, 1.45}), tone(kit.skin));
    QPainterPath fist;
    fist.addEllipse(fistCentre, 2.0, 2.1);
    shade(p, fist, tone(kit.skin));
    // Short sleeve with its trim.
    const QPointF hem = along(shoulder, elbow, 0.42);
    shade(p, limb({shoulder, hem}, {3.9, 3.2}), tone(kit.jersey));
    p.save();
    p.setPen(QPen(tone(kit.trim), 1.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF across = normal(elbow - shoulder) * 3.1;
    p.drawLine(hem + across, hem - across);
    p.restore();
}

void drawTorso(QPainter& p, const Skeleton& s, const Kit& kit) {
    const QPointF u = unit(s.shoulder - s.hip);  // up the spine
    const QPointF front(u.y(), -u.x());          // towards the running direction (left)
    const QPointF& sh = s.shoulder;
    const QPointF& hp = s.hip;
    const QPainterPath body = smoothClosed({
        sh + u * 3.0 + front * 2.6,  // throat
        sh - u * 5.0 + front * 7.2,  // chest
        hp + u * 11 + front * 5.2,   // belly
        hp + u * 1 + front * 5.2,    // front of the hips
        hp - u * 4.0 + front * 1.0,  // crotch
        hp - u * 2.0 - front * 5.4,  // seat
        hp + u * 10 - front * 4.8,   // small of the back
        sh - u * 6 - front * 6.6,    // shoulder blade
        sh + u * 2.0 - front * 4.2,  // top of the shoulder
        sh + u * 3.8 - front * 0.8,  // nape
    });
    shade(p, body, kit.jersey);
    // Side seam trim from the armpit to the hem.
    p.save();
    p.setClipPath(body);
    p.setPen(QPen(kit.trim, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(sh - u * 5 - front * 0.8, hp + u * 6 - front * 0.2);
    p.restore();
    // Shorts: the part of the body below the waist.
    QPainterPath below;
    const QPointF waist = hp + u * 6.5;
    const QPointF side = front * 30;
    below.moveTo(waist + side);
    below.lineTo(waist - side);
    below.lineTo(waist - side - u * 30);
    below.lineTo(waist + side - u * 30);
    below.closeSubpath();
    shade(p, body.intersected(below), kit.shorts);
    p.save();
    p.setPen(QPen(kit.trim, 0.9));
    p.setClipPath(body);
    p.drawLine(waist + front * 9, waist - front * 9);
    p.restore();
}

void drawHead(QPainter& p, const Skeleton& s, const Kit& kit) {
    const QPointF c = s.head;
    // Neck.
    shade(p, limb({s.shoulder + QPointF(0.5, 1.0), c + QPointF(1.6, 4.0)}, {2.6, 2.3}), kit.skin.darker(112));
    // Skull with jaw, nose and ear.
    QPainterPath head;
    head.setFillRule(Qt::WindingFill);
    head.addEllipse(c, 5.0, 6.0);
    head.addEllipse(c + QPointF(-2.4, 3.4), 2.6, 2.4);
    QPolygonF nose;
    nose << c + QPointF(-4.6, -1.0) << c + QPointF(-6.2, 1.2) << c + QPointF(-4.2, 1.7);
    head.addPolygon(nose);
    head = head.simplified();
    shade(p, head, kit.skin, 0.4);
    QPainterPath ear;
    ear.addEllipse(c + QPointF(1.4, 0.6), 1.0, 1.5);
    shade(p, ear, kit.skin.darker(118), 0.2);
    // Short hair over the crown and the back of the head.
    QPainterPath cap;
    cap.addEllipse(c + QPointF(0.4, -0.4), 5.4, 6.2);
    QPainterPath cut;
    cut.moveTo(c + QPointF(-9, -2.6));
    cut.lineTo(c + QPointF(-3.2, -3.2));
    cut.lineTo(c + QPointF(0.2, -0.4));
    cut.lineTo(c + QPointF(3.4, 3.4));
    cut.lineTo(c + QPointF(3.0, 8));
    cut.lineTo(c + QPointF(12, 8));
    cut.lineTo(c + QPointF(12, -12));
    cut.lineTo(c + QPointF(-9, -12));
    cut.closeSubpath();
    shade(p, cap.intersected(cut), kit.hair, 0.3);
    // Eye and brow, just marked.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kit.skin.darker(220));
    p.drawEllipse(c + QPointF(-3.3, -0.4), 0.55, 0.4);
    p.setPen(QPen(kit.hair, 0.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-4.4, -1.6), c + QPointF(-2.6, -1.8));
    p.restore();
}

}  // namespace

void drawAthlete(QPainter& painter, QPointF toe, qreal height, const Kit& kit) {
    const Skeleton s;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(toe);
    painter.scale(height / 100.0, height / 100.0);
    painter.translate(groundOffset(s));
    drawArm(painter, s.farShoulder, s.farElbow, s.farWrist, kit, 32);
    drawLeg(painter, s, false, kit, 32);
    drawTorso(painter, s, kit);
    drawLeg(painter, s, true, kit, 0);
    drawHead(painter, s, kit);
    drawArm(painter, s.shoulder + QPointF(1.2, 0.8), s.nearElbow, s.nearWrist, kit, 0);
    painter.restore();
}

void drawAthleteReflection(QPainter& painter, QPointF toe, qreal height, const Kit& kit, qreal opacity) {
    const QSize size =
        painter.device() ? QSize(painter.device()->width(), painter.device()->height()) : QSize();
    QImage layer = transparentCanvas(size.width(), size.height());
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(0, 2 * toe.y());
        p.scale(1, -1);
        drawAthlete(p, toe, height, kit);
        // Fade the reflection out away from the floor.
        p.resetTransform();
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient fade(0, toe.y(), 0, toe.y() + height * 0.45);
        fade.setColorAt(0.0, QColor(0, 0, 0, 255));
        fade.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.fillRect(layer.rect(), fade);
    }
    layer = blurred(layer, 5);
    painter.save();
    painter.setOpacity(opacity);
    painter.drawImage(0, 0, layer);
    painter.restore();
}

void drawStandingCone(QPainter& painter, QPointF base, qreal h, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // Foot plate seen slightly from above.
    const QRectF plate(base.x() - h * 0.55, base.y() - h * 0.09, h * 1.1, h * 0.18);
    QLinearGradient plateShade(plate.topLeft(), plate.topRight());
    plateShade.setColorAt(0.0, color.darker(115));
    plateShade.setColorAt(0.35, color.lighter(112));
    plateShade.setColorAt(1.0, color.darker(150));
    painter.setBrush(color.darker(175));
    painter.drawRoundedRect(plate.translated(0, h * 0.035), h * 0.08, h * 0.06);
    painter.setBrush(plateShade);
    painter.drawRoundedRect(plate, h * 0.08, h * 0.06);
    // Body: a cone narrowing to a rounded top.
    const qreal bottom = base.y() - h * 0.02;
    const qreal top = base.y() - h;
    QPainterPath body;
    body.moveTo(base.x() - h * 0.36, bottom);
    body.lineTo(base.x() - h * 0.075, top + h * 0.05);
    body.quadTo(base.x(), top - h * 0.015, base.x() + h * 0.075, top + h * 0.05);
    body.lineTo(base.x() + h * 0.36, bottom);
    body.quadTo(base.x(), bottom + h * 0.07, base.x() - h * 0.36, bottom);
    body.closeSubpath();
    QLinearGradient round(base.x() - h * 0.36, 0, base.x() + h * 0.36, 0);
    round.setColorAt(0.0, color.darker(120));
    round.setColorAt(0.3, color.lighter(128));
    round.setColorAt(0.55, color);
    round.setColorAt(1.0, color.darker(170));
    painter.setBrush(round);
    painter.drawPath(body);
    // Reflective band.
    QPainterPath band;
    const qreal y0 = base.y() - h * 0.62;
    const qreal y1 = base.y() - h * 0.44;
    auto halfWidth = [&](qreal y) { return h * 0.075 + (h * 0.36 - h * 0.075) * (y - top) / (bottom - top); };
    band.moveTo(base.x() - halfWidth(y0), y0);
    band.lineTo(base.x() + halfWidth(y0), y0);
    band.lineTo(base.x() + halfWidth(y1), y1);
    band.lineTo(base.x() - halfWidth(y1), y1);
    band.closeSubpath();
    QLinearGradient white(base.x() - h * 0.3, 0, base.x() + h * 0.3, 0);
    white.setColorAt(0.0, QColor(215, 215, 215));
    white.setColorAt(0.3, QColor(255, 255, 255));
    white.setColorAt(1.0, QColor(160, 160, 160));
    painter.setBrush(white);
    painter.drawPath(band);
    painter.restore();
}

}  // namespace norak::art
