#include "StartPictures.h"

#include "Athlete.h"
#include "Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace norak::art {

namespace {

constexpr int kWidth = 826;
constexpr int kHeight = 592;
constexpr qreal kPi = 3.14159265358979323846;

// A pinhole camera looking level over the ground. Ground points are (X across, Z ahead) in
// metres; h is the height above the ground.
struct Camera {
    qreal focal = 800;
    qreal centreX = 413;
    qreal horizon = 275;
    qreal eye = 1.75;

    QPointF project(qreal x, qreal z, qreal h = 0) const {
        return QPointF(centreX + focal * x / z, horizon + focal * (eye - h) / z);
    }
    QPointF project(QPointF xz, qreal h = 0) const { return project(xz.x(), xz.y(), h); }
    // Depth of the ground seen at screen row y.
    qreal depthAtRow(qreal y) const { return focal * eye / (y - horizon); }
};

constexpr qreal kNearClip = 0.8;

// Projects a ground polygon, clipped to the part in front of the camera.
QPolygonF groundPolygon(const Camera& cam, const QVector<QPointF>& xz) {
    QVector<QPointF> clipped;
    const int n = int(xz.size());
    for (int i = 0; i < n; ++i) {
        const QPointF a = xz[i];
        const QPointF b = xz[(i + 1) % n];
        const bool aIn = a.y() >= kNearClip;
        const bool bIn = b.y() >= kNearClip;
        if (aIn) {
            clipped << a;
        }
        if (aIn != bIn) {
            const qreal t = (kNearClip - a.y()) / (b.y() - a.y());
            clipped << a + (b - a) * t;
        }
    }
    QPolygonF out;
    for (const QPointF& p : clipped) {
        out << cam.project(p);
    }
    return out;
}

void fillGround(QPainter& p, const Camera& cam, const QVector<QPointF>& xz, const QBrush& brush) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPolygon(groundPolygon(cam, xz));
    p.restore();
}

// A painted line on the ground from a to b, `width` metres wide.
void groundLine(QPainter& p, const Camera& cam, QPointF a, QPointF b, qreal width, const QColor& color) {
    const QPointF n = normal(b - a) * (width / 2);
    fillGround(p, cam, {a + n, b + n, b - n, a - n}, color);
}

// A painted arc on the ground (centre, radius, angles in radians), sampled finely.
void groundArc(QPainter& p, const Camera& cam, QPointF centre, qreal radius, qreal from, qreal to,
               qreal width, const QColor& color) {
    const int steps = 64;
    for (int i = 0; i < steps; ++i) {
        const qreal t0 = from + (to - from) * i / steps;
        const qreal t1 = from + (to - from) * (i + 1) / steps;
        groundLine(p, cam, centre + QPointF(std::cos(t0), std::sin(t0)) * radius,
                   centre + QPointF(std::cos(t1), std::sin(t1)) * radius, width, color);
    }
}

// Mixes a soft copy of the scene into its far part: fully soft above `softEnd`, sharp below
// `sharpStart`, a smooth blend between.
QImage depthOfField(const QImage& sharp, int radius, qreal softEnd, qreal sharpStart) {
    const QImage soft = blurred(sharp, radius);
    QImage out = sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        qreal t = (y - softEnd) / (sharpStart - softEnd);
        t = std::clamp(t, 0.0, 1.0);
        t = t * t * (3 - 2 * t);
        auto* row = reinterpret_cast<quint32*>(out.scanLine(y));
        const auto* softRow = reinterpret_cast<const quint32*>(soft.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb a = softRow[x];
            const QRgb b = row[x];
            row[x] = qRgba(int(qRed(a) * (1 - t) + qRed(b) * t), int(qGreen(a) * (1 - t) + qGreen(b) * t),
                           int(qBlue(a) * (1 - t) + qBlue(b) * t), 255);
        }
    }
    return out;
}

void haze(QPainter& p, QPointF centre, qreal radius, int alpha, const QColor& color = Qt::white) {
    QRadialGradient glow(centre, radius);
    QColor c = color;
    c.setAlpha(alpha);
    glow.setColorAt(0.0, c);
    c.setAlpha(alpha * 2 / 3);
    glow.setColorAt(0.35, c);
    c.setAlpha(0);
    glow.setColorAt(1.0, c);
    p.fillRect(QRect(0, 0, kWidth, kHeight), glow);
}

void vignette(QPainter& p, int alpha) {
    QRadialGradient dark(QPointF(kWidth / 2.0, kHeight * 0.45), kWidth * 0.72);
    dark.setColorAt(0.0, QColor(0, 0, 0, 0));
    dark.setColorAt(0.6, QColor(0, 0, 0, 0));
    dark.setColorAt(1.0, QColor(0, 0, 0, alpha));
    p.fillRect(QRect(0, 0, kWidth, kHeight), dark);
}

void softEllipse(QPainter& p, QPointF centre, qreal rx, qreal ry, const QColor& color) {
    QRadialGradient g(QPointF(0, 0), 1.0);
    QColor c = color;
    g.setColorAt(0.0, c);
    c.setAlpha(color.alpha() / 2);
    g.setColorAt(0.5, c);
    c.setAlpha(0);
    g.setColorAt(1.0, c);
    p.save();
    p.translate(centre);
    p.scale(rx, ry);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), 1.0, 1.0);
    p.restore();
}

// Light streaks trailing behind a running figure.
void speedStreaks(QPainter& p, QPointF from, qreal height, quint32 seed) {
    QRandomGenerator random(seed);
    p.save();
    for (int i = 0; i < 9; ++i) {
        const qreal y = from.y() - height * (0.15 + 0.65 * random.bounded(1.0));
        const qreal x = from.x() + random.bounded(30.0);
        const qreal len = 60 + random.bounded(110.0);
        QLinearGradient fade(x, 0, x + len, 0);
        fade.setColorAt(0.0, QColor(255, 255, 255, 70));
        fade.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setPen(QPen(QBrush(fade), 1.2 + random.bounded(1.6), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, y), QPointF(x + len, y));
    }
    p.restore();
}

// Where the player and the cone stand, common to the three scenes.
const Camera kCamera;
// The player runs on the right, clear of the buttons laid over the lower middle of the picture.
constexpr qreal kSideLine = 2.86;    // X of the side line the cone stands on
constexpr qreal kConeDepth = 6.2;    // Z of the cone the player has just passed
constexpr qreal kPlayerDepth = 5.2;  // Z of the player's back foot
constexpr qreal kPlayerX = 2.13;
constexpr qreal kConeHeight = 0.34;

// Further cones of the course, out in the hall.
void distantCones(QPainter& p, const QVector<QPointF>& xz, const QColor& color) {
    for (const QPointF& at : xz) {
        drawStandingCone(p, kCamera.project(at), kCamera.focal * kConeHeight / at.y(), color);
    }
}

struct Foreground {
    Kit kit;
    QColor cone;
    qreal reflection;  // strength of the floor's mirror image, 0 outdoors
};

void drawForeground(QPainter& p, const Foreground& f) {
    const QPointF toe = kCamera.project(kPlayerX, kPlayerDepth);
    const qreal playerHeight = kCamera.focal * 1.86 / kPlayerDepth;
    const QPointF coneBase = kCamera.project(kSideLine, kConeDepth);
    const qreal coneHeight = kCamera.focal * kConeHeight / kConeDepth;

    // Shadows on the floor, then mirror images, then the objects.
    softEllipse(p, coneBase + QPointF(6, 2), coneHeight * 0.75, coneHeight * 0.14, QColor(0, 0, 0, 120));
    softEllipse(p, toe + QPointF(-playerHeight * 0.05, 4), playerHeight * 0.26, playerHeight * 0.035,
                QColor(0, 0, 0, 120));
    if (f.reflection > 0) {
        QImage mirror = transparentCanvas(kWidth, kHeight);
        {
            QPainter m(&mirror);
            m.setRenderHint(QPainter::Antialiasing);
            m.translate(0, 2 * coneBase.y());
            m.scale(1, -1);
            drawStandingCone(m, coneBase, coneHeight, f.cone);
        }
        mirror = blurred(mirror, 3);
        p.save();
        p.setOpacity(f.reflection);
        p.drawImage(0, 0, mirror);
        p.restore();
        drawAthleteReflection(p, toe, playerHeight, f.kit, f.reflection);
    }
    drawStandingCone(p, coneBase, coneHeight, f.cone);
    speedStreaks(p, toe - QPointF(playerHeight * 0.12, 0), playerHeight, 7);
    drawAthlete(p, toe, playerHeight, f.kit);
}

// --- Volleyball hall -------------------------------------------------------------------------

void volleyballBackground(QPainter& p) {
    const qreal wallBase = kCamera.project(0, 30).y();
    QLinearGradient wall(0, 0, 0, wallBase);
    wall.setColorAt(0.0, QColor(58, 72, 92));
    wall.setColorAt(0.55, QColor(120, 138, 156));
    wall.setColorAt(1.0, QColor(150, 160, 168));
    p.fillRect(QRectF(0, 0, kWidth, wallBase), wall);
    // High windows and the ceiling lights.
    QRandomGenerator random(5);
    for (int i = 0; i < 14; ++i) {
        const qreal x = -20 + i * 64;
        QLinearGradient glass(0, 70, 0, 215);
        glass.setColorAt(0.0, QColor(225, 238, 250));
        glass.setColorAt(1.0, QColor(170, 195, 220));
        p.fillRect(QRectF(x, 70, 46, 145), glass);
        p.fillRect(QRectF(x, 140, 46, 3), QColor(90, 100, 115));
    }
    for (int i = 0; i < 7; ++i) {
        softEllipse(p, QPointF(40 + i * 125, 28), 42, 12, QColor(255, 250, 235, 230));
    }
    // Advertising boards along the foot of the wall.
    const QColor boards[] = {QColor(196, 40, 44), QColor(250, 250, 250), QColor(20, 84, 160),
                             QColor(246, 176, 30), QColor(34, 130, 80)};
    for (int i = 0; i < 10; ++i) {
        p.fillRect(QRectF(i * 86.0, wallBase - 26, 84, 24), boards[(i * 3) % 5]);
    }
    p.fillRect(QRectF(0, wallBase - 2, kWidth, 2), QColor(40, 44, 50));

    // Floor: free zone and court, glossy.
    const QColor freeZone(106, 128, 80);
    const QColor court(214, 116, 56);
    fillGround(p, kCamera, {{-40, 0}, {40, 0}, {40, 30}, {-40, 30}}, freeZone);
    const qreal left = kSideLine - 9;
    const qreal nearEnd = kConeDepth;
    fillGround(p, kCamera,
               {{left, nearEnd}, {kSideLine, nearEnd}, {kSideLine, nearEnd + 18}, {left, nearEnd + 18}},
               court);
    const QColor line(245, 245, 240);
    groundLine(p, kCamera, {kSideLine - 0.025, nearEnd}, {kSideLine - 0.025, nearEnd + 18}, 0.05, line);
    groundLine(p, kCamera, {left + 0.025, nearEnd}, {left + 0.025, nearEnd + 18}, 0.05, line);
    for (qreal z : {0.025, 6.0, 9.0, 12.0, 17.975}) {
        groundLine(p, kCamera, {left, nearEnd + z}, {kSideLine, nearEnd + z}, 0.05, line);
    }
    // The windows mirrored in the varnish.
    QLinearGradient sheen(0, wallBase, 0, kHeight);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 70));
    sheen.setColorAt(0.4, QColor(255, 255, 255, 10));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, wallBase, kWidth, kHeight - wallBase), sheen);

    // Net at mid-court: posts, mesh, bands and antennas.
    const qreal zNet = nearEnd + 9;
    const qreal postLeft = left - 1;
    const qreal postRight = kSideLine + 1;
    auto at = [&](qreal x, qreal h) { return kCamera.project(x, zNet, h); };
    p.save();
    for (qreal x : {postLeft, postRight}) {
        const QPointF foot = at(x, 0);
        const QPointF top = at(x, 2.55);
        p.fillRect(QRectF(foot.x() - 4, top.y(), 8, foot.y() - top.y()), QColor(40, 52, 70));
        p.fillRect(QRectF(foot.x() - 6, at(x, 1.9).y(), 12, foot.y() - at(x, 1.9).y()), QColor(28, 70, 140));
    }
    p.setPen(QPen(QColor(16, 16, 20, 170), 1.0));
    for (qreal x = postLeft + 0.3; x < postRight - 0.25; x += 0.2) {
        p.drawLine(at(x, 1.43), at(x, 2.43));
    }
    for (qreal h = 1.43; h <= 2.43; h += 0.1) {
        p.drawLine(at(postLeft + 0.3, h), at(postRight - 0.3, h));
    }
    p.fillRect(QRectF(at(postLeft + 0.3, 2.43), at(postRight - 0.3, 2.36)), QColor(250, 250, 250));
    p.fillRect(QRectF(at(postLeft + 0.3, 1.48), at(postRight - 0.3, 1.43)), QColor(235, 235, 235));
    for (qreal x : {left, kSideLine}) {
        for (int k = 0; k < 9; ++k) {
            const qreal h0 = 1.43 + k * 0.2;
            p.fillRect(QRectF(at(x, h0 + 0.2) - QPointF(1.2, 0), at(x, h0) + QPointF(1.2, 0)),
                       k % 2 == 0 ? QColor(220, 30, 36) : QColor(250, 250, 250));
        }
    }
    p.restore();
    distantCones(p,
                 {{kSideLine, nearEnd + 6},
                  {kSideLine - 2.5, zNet},
                  {kSideLine, nearEnd + 12},
                  {kSideLine, nearEnd + 18},
                  {left + 3.5, nearEnd + 16.5},
                  {left, nearEnd + 18},
                  {left, nearEnd + 12},
                  {left + 2.5, zNet},
                  {left, nearEnd + 6}},
                 QColor(246, 122, 20));
}

// --- Football ground --------------------------------------------------------------------------

void footballBackground(QPainter& p) {
    const qreal standBase = kCamera.project(0, 70).y();
    QLinearGradient sky(0, 0, 0, kCamera.horizon);
    sky.setColorAt(0.0, QColor(62, 122, 196));
    sky.setColorAt(0.7, QColor(160, 200, 235));
    sky.setColorAt(1.0, QColor(222, 234, 242));
    p.fillRect(QRectF(0, 0, kWidth, standBase), sky);
    // Light clouds.
    QRandomGenerator random(17);
    for (int i = 0; i < 26; ++i) {
        softEllipse(p, QPointF(random.bounded(double(kWidth)), 30 + random.bounded(110.0)),
                    50 + random.bounded(90.0), 10 + random.bounded(14.0), QColor(255, 255, 255, 90));
    }
    // The stand across the far side: roof, tiers of the crowd, floodlights.
    QPainterPath stand;
    stand.moveTo(0, 170);
    stand.cubicTo(250, 196, 576, 196, kWidth, 170);
    stand.lineTo(kWidth, standBase);
    stand.lineTo(0, standBase);
    stand.closeSubpath();
    p.fillPath(stand, QColor(70, 78, 92));
    p.save();
    p.setClipPath(stand);
    for (int i = 0; i < 5200; ++i) {
        const QPointF at(random.bounded(double(kWidth)), 185 + random.bounded(standBase - 185));
        static const QColor crowd[] = {QColor(200, 60, 60),  QColor(230, 230, 230), QColor(60, 90, 170),
                                       QColor(240, 200, 60), QColor(40, 40, 50),    QColor(90, 160, 90)};
        p.fillRect(QRectF(at, QSizeF(2.2, 2.2)), crowd[random.bounded(6)]);
    }
    p.fillRect(QRectF(0, 160, kWidth, 22), QColor(48, 54, 66));
    p.restore();
    for (qreal x : {60.0, 766.0}) {
        p.fillRect(QRectF(x - 2, 70, 4, 110), QColor(60, 66, 76));
        p.fillRect(QRectF(x - 22, 62, 44, 14), QColor(250, 250, 240));
        softEllipse(p, QPointF(x, 69), 60, 24, QColor(255, 255, 230, 150));
    }
    // Advertising boards and the pitch.
    const QColor boards[] = {QColor(20, 84, 160), QColor(250, 250, 250), QColor(196, 40, 44),
                             QColor(246, 176, 30)};
    for (int i = 0; i < 12; ++i) {
        p.fillRect(QRectF(i * 72.0, standBase - 14, 70, 14), boards[(i * 3) % 4]);
    }
    fillGround(p, kCamera, {{-80, 1}, {80, 1}, {80, 200}, {-80, 200}}, QColor(66, 132, 52));
    for (int band = 0; band < 30; band += 2) {
        const qreal z0 = 1.0 + band * 4.0;
        fillGround(p, kCamera, {{-80, z0}, {80, z0}, {80, z0 + 4}, {-80, z0 + 4}}, QColor(74, 146, 58));
    }
    const QColor line(246, 246, 240);
    groundLine(p, kCamera, {kSideLine, 1}, {kSideLine, 70}, 0.12, line);
    groundLine(p, kCamera, {-80, 22}, {kSideLine, 22}, 0.12, line);
    groundArc(p, kCamera, {-32, 22}, 9.15, -kPi / 2, kPi / 2, 0.12, line);
    distantCones(p,
                 {{kSideLine - 4.6, kConeDepth + 7.9},
                  {kSideLine, kConeDepth + 15.8},
                  {kSideLine - 4.6, kConeDepth + 23.8},
                  {kSideLine - 13.7, kConeDepth + 23.8},
                  {kSideLine - 18.3, kConeDepth + 15.8}},
                 QColor(250, 200, 20));
    // Grass texture.
    for (int i = 0; i < 14000; ++i) {
        const qreal y = standBase + random.bounded(kHeight - standBase);
        const qreal x = random.bounded(double(kWidth));
        const qreal scale = (y - kCamera.horizon) / 300.0;
        p.setPen(
            QPen(random.bounded(2) ? QColor(40, 90, 30, 60) : QColor(150, 200, 110, 50), 1.0 * scale + 0.3));
        p.drawLine(QPointF(x, y), QPointF(x + random.bounded(2.0) - 1, y - 3 * scale));
    }
}

// --- Futsal hall ------------------------------------------------------------------------------

// Tiers of the crowd between two rows, drawn as small colored marks.
void crowd(QPainter& p, const QRectF& area, int count, quint32 seed) {
    static const QColor shirts[] = {QColor(200, 60, 60),  QColor(230, 230, 230), QColor(60, 90, 170),
                                    QColor(240, 200, 60), QColor(40, 40, 50),    QColor(90, 160, 90)};
    QRandomGenerator random(seed);
    for (int i = 0; i < count; ++i) {
        const QPointF at(area.left() + random.bounded(area.width()),
                         area.top() + random.bounded(area.height()));
        p.fillRect(QRectF(at, QSizeF(2.4, 2.6)), shirts[random.bounded(6)]);
    }
}

void futsalBackground(QPainter& p) {
    const qreal wallBase = kCamera.project(0, 38).y();
    QLinearGradient wall(0, 0, 0, wallBase);
    wall.setColorAt(0.0, QColor(40, 46, 58));
    wall.setColorAt(0.5, QColor(92, 100, 114));
    wall.setColorAt(1.0, QColor(120, 126, 136));
    p.fillRect(QRectF(0, 0, kWidth, wallBase), wall);
    // Roof trusses and lights.
    p.setPen(QPen(QColor(28, 32, 40), 3));
    for (int i = 0; i < 8; ++i) {
        p.drawLine(QPointF(i * 120.0 - 40, 0), QPointF(i * 120.0 + 20, 56));
        p.drawLine(QPointF(i * 120.0 + 20, 56), QPointF(i * 120.0 + 80, 0));
    }
    p.drawLine(QPointF(0, 56), QPointF(kWidth, 56));
    for (int i = 0; i < 6; ++i) {
        softEllipse(p, QPointF(70 + i * 140, 64), 46, 13, QColor(255, 252, 240, 240));
    }
    // Stands with the crowd, the rail and the padding at the foot of the wall.
    const qreal standTop = 118;
    const qreal padTop = wallBase - 40;
    p.fillRect(QRectF(0, standTop, kWidth, padTop - standTop), QColor(62, 68, 84));
    for (qreal y = standTop; y < padTop; y += 12) {
        p.fillRect(QRectF(0, y, kWidth, 1.5), QColor(90, 96, 110));
    }
    crowd(p, QRectF(0, standTop + 4, kWidth, padTop - standTop - 10), 6000, 29);
    p.fillRect(QRectF(0, padTop - 5, kWidth, 4), QColor(225, 225, 225));
    p.fillRect(QRectF(0, padTop, kWidth, wallBase - padTop), QColor(18, 82, 150));
    for (int i = 0; i < 9; ++i) {
        p.fillRect(QRectF(30 + i * 96.0, padTop + 10, 50, 12), QColor(235, 240, 248));
    }
    // Floor: surround and court.
    const QColor surround(200, 94, 58);
    const QColor court(40, 106, 168);
    fillGround(p, kCamera, {{-60, 0}, {60, 0}, {60, 38}, {-60, 38}}, surround);
    const qreal left = kSideLine - 20;
    fillGround(p, kCamera, {{left, -6}, {kSideLine, -6}, {kSideLine, 34}, {left, 34}}, court);
    const QColor line(245, 245, 240);
    groundLine(p, kCamera, {kSideLine - 0.04, -6}, {kSideLine - 0.04, 34}, 0.08, line);
    groundLine(p, kCamera, {left, 14}, {kSideLine, 14}, 0.08, line);
    groundLine(p, kCamera, {left, 33.96}, {kSideLine, 33.96}, 0.08, line);
    const qreal mid = kSideLine - 10;
    groundArc(p, kCamera, {mid, 14}, 3, 0, 2 * kPi, 0.08, line);
    // Penalty area of the far goal.
    groundArc(p, kCamera, {mid - 1.5, 34}, 6, kPi, 1.5 * kPi, 0.08, line);
    groundArc(p, kCamera, {mid + 1.5, 34}, 6, 1.5 * kPi, 2 * kPi, 0.08, line);
    groundLine(p, kCamera, {mid - 1.5, 28}, {mid + 1.5, 28}, 0.08, line);
    // The far goal.
    const QPointF goalLeft = kCamera.project(mid - 1.5, 34);
    const QPointF goalRight = kCamera.project(mid + 1.5, 34);
    const qreal crossbar = kCamera.project(mid, 34, 2.0).y();
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 120), 0.7));
    for (qreal x = goalLeft.x(); x <= goalRight.x(); x += 4) {
        p.drawLine(QPointF(x, crossbar), QPointF(x, goalLeft.y()));
    }
    for (qreal y = crossbar; y <= goalLeft.y(); y += 4) {
        p.drawLine(QPointF(goalLeft.x(), y), QPointF(goalRight.x(), y));
    }
    p.setPen(QPen(QColor(226, 40, 40), 3));
    p.drawLine(goalLeft, QPointF(goalLeft.x(), crossbar));
    p.drawLine(goalRight, QPointF(goalRight.x(), crossbar));
    p.drawLine(QPointF(goalLeft.x(), crossbar), QPointF(goalRight.x(), crossbar));
    p.restore();
    distantCones(p,
                 {{kSideLine - 6, kConeDepth + 4.0},
                  {kSideLine, kConeDepth + 8.0},
                  {kSideLine - 6, kConeDepth + 13.3},
                  {kSideLine - 14, kConeDepth + 13.3},
                  {kSideLine - 20, kConeDepth + 8.0}},
                 QColor(246, 122, 20));
    QLinearGradient sheen(0, wallBase, 0, kHeight);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 80));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 12));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, wallBase, kWidth, kHeight - wallBase), sheen);
}

}  // namespace

QImage startPicture(StartScene scene) {
    QImage image = whiteCanvas(kWidth, kHeight);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        switch (scene) {
            case StartScene::Volleyball:
                volleyballBackground(p);
                break;
            case StartScene::Football:
                footballBackground(p);
                break;
            case StartScene::Futsal:
                futsalBackground(p);
                break;
        }
    }
    image = depthOfField(image, 8, 330, 500);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Light flooding the middle of the picture, where the title is written.
    const int hazeStrength = scene == StartScene::Futsal ? 185 : 215;
    haze(p, QPointF(kWidth * 0.46, 205), 430, hazeStrength);
    haze(p, QPointF(kWidth * 0.46, 215), 200, hazeStrength / 2);

    Foreground f;
    f.kit.skin = QColor(214, 160, 120);
    f.kit.hair = QColor(46, 32, 24);
    switch (scene) {
        case StartScene::Volleyball:
            f.kit.jersey = QColor(104, 128, 62);
            f.kit.trim = QColor(245, 245, 235);
            f.kit.shorts = QColor(30, 36, 58);
            f.kit.socks = QColor(240, 240, 236);
            f.kit.shoes = QColor(236, 236, 232);
            f.kit.shoeAccent = QColor(104, 128, 62);
            f.kit.kneePads = true;
            f.cone = QColor(246, 122, 20);
            f.reflection = 0.22;
            break;
        case StartScene::Football:
            f.kit.jersey = QColor(238, 240, 236);
            f.kit.trim = QColor(52, 140, 70);
            f.kit.shorts = QColor(28, 30, 36);
            f.kit.socks = QColor(52, 140, 70);
            f.kit.shoes = QColor(30, 30, 34);
            f.kit.shoeAccent = QColor(120, 220, 120);
            f.cone = QColor(250, 200, 20);
            f.reflection = 0;
            break;
        case StartScene::Futsal:
            f.kit.jersey = QColor(0, 92, 168);
            f.kit.trim = QColor(250, 250, 250);
            f.kit.shorts = QColor(238, 240, 244);
            f.kit.socks = QColor(0, 92, 168);
            f.kit.shoes = QColor(240, 240, 240);
            f.kit.shoeAccent = QColor(220, 60, 40);
            f.cone = QColor(246, 122, 20);
            f.reflection = 0.2;
            break;
    }
    drawForeground(p, f);
    vignette(p, 100);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace norak::art
