#include "HelpDrawings.h"

#include "Paint.h"

#include <cmath>

namespace norak::art {

namespace {

const QColor kInk(34, 40, 52);
const QColor kMuted(96, 104, 118);
const QColor kPath(22, 44, 96);

struct Frame {
    QRectF card;        // the ground, in pixels
    QTransform metres;  // ground metres to pixels
};

// Fits the ground rectangle `ground` (metres) into `area` (pixels) at one scale, centred.
Frame fit(const QRectF& ground, const QRectF& area) {
    const qreal scale = std::min(area.width() / ground.width(), area.height() / ground.height());
    const QSizeF size = ground.size() * scale;
    const QPointF origin = area.center() - QPointF(size.width() / 2, size.height() / 2);
    Frame frame;
    frame.card = QRectF(origin, size);
    frame.metres =
        QTransform(scale, 0, 0, scale, origin.x() - ground.left() * scale, origin.y() - ground.top() * scale);
    return frame;
}

QVector<QPointF> mapped(const QTransform& t, const QVector<QPointF>& points) {
    QVector<QPointF> out;
    for (const QPointF& p : points) {
        out.append(t.map(p));
    }
    return out;
}

void drawHeader(QPainter& p, int width, const QString& title, const QString& subtitle) {
    p.save();
    p.setPen(kInk);
    p.setFont(sansFont(15, QFont::Bold));
    p.drawText(QRectF(0, 6, width, 20), Qt::AlignHCenter | Qt::AlignVCenter, title);
    p.setPen(kMuted);
    p.setFont(sansFont(11));
    p.drawText(QRectF(0, 25, width, 15), Qt::AlignHCenter | Qt::AlignVCenter, subtitle);
    p.restore();
}

void drawFooter(QPainter& p, const QRectF& box, const QString& text) {
    p.save();
    QPainterPath pill;
    pill.addRoundedRect(box, 6, 6);
    p.fillPath(pill, QColor(238, 241, 245));
    p.setPen(QPen(QColor(200, 206, 214), 1));
    p.drawPath(pill);
    p.setPen(kInk);
    p.setFont(sansFont(11, QFont::DemiBold));
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

// A label on a white rounded ground, centred on `centre`.
void drawTag(QPainter& p, QPointF centre, const QString& text, qreal size = 10.5) {
    const QFont font = sansFont(size, QFont::Bold);
    const QFontMetricsF metrics(font);
    const qreal w = metrics.horizontalAdvance(text) + 8;
    const qreal h = metrics.height() + 1;
    const QRectF box(centre.x() - w / 2, centre.y() - h / 2, w, h);
    QPainterPath pill;
    pill.addRoundedRect(box, h / 2, h / 2);
    p.save();
    p.fillPath(pill.translated(0, 1), QColor(0, 0, 0, 45));
    p.fillPath(pill, QColor(255, 255, 255, 240));
    p.setPen(QPen(QColor(120, 128, 140), 0.8));
    p.drawPath(pill);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

// The direction, away from the course, in which a station's number is written: opposite to the
// two legs that meet at the station.
QPointF outward(const QVector<QPointF>& points, int i) {
    const int n = int(points.size());
    const QPointF here = points[i];
    const QPointF a = unit(points[(i + n - 1) % n] - here);
    const QPointF b = unit(points[(i + 1) % n] - here);
    QPointF away = -(a + b);
    if (length(away) < 0.2) {
        away = QPointF(-(b - a).y(), (b - a).x());  // straight through: step aside
    }
    return unit(away);
}

void drawNumberedCones(QPainter& p, const QVector<QPointF>& points, qreal coneSize,
                       const QVector<QPointF>& nudges = {}) {
    for (int i = 0; i < points.size(); ++i) {
        drawConeFromAbove(p, points[i], coneSize);
    }
    const QFont font = sansFont(9.5, QFont::Bold);
    for (int i = 0; i < points.size(); ++i) {
        QPointF dir = outward(points, i);
        if (i < nudges.size() && !nudges[i].isNull()) {
            dir = unit(nudges[i]);
        }
        const QPointF at = points[i] + dir * (coneSize / 2 + 9);
        p.save();
        p.setPen(QPen(kInk, 1.0));
        p.setBrush(Qt::white);
        p.drawEllipse(at, 7.2, 7.2);
        p.setFont(font);
        p.drawText(QRectF(at.x() - 8, at.y() - 8, 16, 16), Qt::AlignCenter, QString::number(i + 1));
        p.restore();
    }
}

// A tag beside the middle of the leg from a to b, on the side of `side` (+1 left of a->b).
void tagLeg(QPainter& p, QPointF a, QPointF b, const QString& text, qreal offset) {
    const QPointF middle = (a + b) / 2;
    drawTag(p, middle + normal(b - a) * offset, text);
}

// A dimension line between two points with end ticks and its measure in the middle.
void drawDimension(QPainter& p, QPointF a, QPointF b, const QString& text, const QColor& color = kInk) {
    const QPointF u = unit(b - a);
    const QPointF n(-u.y(), u.x());
    p.save();
    p.setPen(QPen(color, 1.0));
    p.drawLine(a, b);
    for (const QPointF& end : {a, b}) {
        p.drawLine(end - n * 4, end + n * 4);
    }
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    for (int k : {0, 1}) {
        const QPointF tip = k == 0 ? a : b;
        const QPointF back = k == 0 ? u : -u;
        QPolygonF head;
        head << tip << tip + back * 6 + n * 2.2 << tip + back * 6 - n * 2.2;
        p.drawPolygon(head);
    }
    p.restore();
    drawTag(p, (a + b) / 2, text, 10);
}

QImage footballHelp() {
    QImage image = whiteCanvas(290, 480);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawHeader(p, 290, QStringLiteral("Circuito de Fútbol"),
               QStringLiteral("Círculo central del campo · 14 conos"));
    const Frame frame = fit(QRectF(-15, -26.5, 30, 53), QRectF(12, 46, 266, 388));
    paintGround(p, Sport::Futbol, frame.metres, frame.card);
    const QVector<QPointF> points = mapped(frame.metres, stationMetres(Sport::Futbol));
    const QPointF centre = frame.metres.map(QPointF(0, 0));

    // The radius that fixes every leg: from the centre spot to station 8.
    p.save();
    QPen radius(QColor(255, 255, 255), 1.2, Qt::DashLine);
    p.setPen(radius);
    p.drawLine(centre, points[7]);
    p.restore();
    drawArrowLoop(p, points, true, kPath);
    drawNumberedCones(p, points, 10);
    drawTag(p, (centre + points[7]) / 2 + QPointF(0, -10), QStringLiteral("r = 9,15 m"));
    tagLeg(p, points[3], points[4], QStringLiteral("9,15 m"), 14);
    tagLeg(p, points[0], points[1], QStringLiteral("9,15 m"), 22);
    tagLeg(p, points[10], points[11], QStringLiteral("9,15 m"), -14);
    drawFooter(p, QRectF(20, 444, 250, 26), QStringLiteral("14 tramos de 9,15 m · vuelta de 128,1 m"));
    return image;
}

QImage futsalHelp() {
    QImage image = whiteCanvas(290, 480);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawHeader(p, 290, QStringLiteral("Circuito de Fútbol Sala"),
               QStringLiteral("Pista de 40 × 20 m · 14 conos"));
    const Frame frame = fit(QRectF(-12.5, -21.5, 25, 43), QRectF(12, 46, 266, 388));
    paintGround(p, Sport::FutSal, frame.metres, frame.card);
    const QVector<QPointF> points = mapped(frame.metres, stationMetres(Sport::FutSal));
    drawArrowLoop(p, points, true, kPath);
    drawNumberedCones(p, points, 10);
    // The end legs measure 8 m, the zigzag legs 7 m.
    tagLeg(p, points[2], points[3], QStringLiteral("8 m"), -12);
    tagLeg(p, points[3], points[4], QStringLiteral("8 m"), -12);
    tagLeg(p, points[4], points[5], QStringLiteral("8 m"), -12);
    tagLeg(p, points[0], points[1], QStringLiteral("7 m"), 11);
    tagLeg(p, points[1], points[2], QStringLiteral("7 m"), 11);
    tagLeg(p, points[6], points[7], QStringLiteral("7 m"), -11);
    tagLeg(p, points[7], points[8], QStringLiteral("7 m"), -11);
    drawFooter(p, QRectF(14, 444, 262, 26), QStringLiteral("Vuelta: 6 × 8 m + 8 × 7 m = 104 m"));
    return image;
}

QImage basketHelp() {
    QImage image = whiteCanvas(290, 484);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawHeader(p, 290, QStringLiteral("Circuito de Baloncesto"),
               QStringLiteral("Pista de 28 × 15 m · 12 conos"));
    const Frame frame = fit(QRectF(-9.8, -15.6, 19.6, 31.2), QRectF(12, 46, 266, 392));
    paintGround(p, Sport::Basket, frame.metres, frame.card);
    const QVector<QPointF> points = mapped(frame.metres, stationMetres(Sport::Basket));
    drawArrowLoop(p, points, true, kPath);
    drawNumberedCones(p, points, 11);
    tagLeg(p, points[0], points[1], QStringLiteral("8 m"), 14);
    tagLeg(p, points[1], points[2], QStringLiteral("8 m"), 12);
    tagLeg(p, points[4], points[5], QStringLiteral("8 m"), 12);
    tagLeg(p, points[5], points[6], QStringLiteral("8 m"), 14);
    drawFooter(p, QRectF(20, 448, 250, 26), QStringLiteral("12 conos · tramos marcados de 8 m"));
    return image;
}

// How a leg of the volleyball course is run.
enum class Way { Forward, Sideways, Backward };

QPen wayPen(Way way) {
    switch (way) {
        case Way::Forward:
            return QPen(QColor(18, 52, 120), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        case Way::Sideways: {
            QPen pen(QColor(122, 22, 96), 2.4, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
            pen.setDashPattern({3.0, 1.6});
            return pen;
        }
        case Way::Backward: {
            QPen pen(QColor(16, 16, 16), 2.6, Qt::CustomDashLine, Qt::RoundCap, Qt::RoundJoin);
            pen.setDashPattern({0.01, 2.2});
            return pen;
        }
    }
    return {};
}

void drawWayLeg(QPainter& p, QPointF a, QPointF b, Way way, qreal trimStart, qreal trimEnd) {
    const QPointF u = unit(b - a);
    const QPointF from = a + u * trimStart;
    const QPointF to = b - u * trimEnd;
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 170), 5.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(wayPen(way));
    p.drawLine(from, to - u * 6);
    p.restore();
    drawArrowHead(p, to, u, 10, 9, wayPen(way).color(), QColor(255, 255, 255, 230));
}

QImage zevezHelp() {
    QImage image = whiteCanvas(290, 480);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawHeader(p, 290, QStringLiteral("Circuito de Voleibol"),
               QStringLiteral("Pista de 18 × 9 m · 12 conos"));
    const Frame frame = fit(QRectF(-6.9, -10.1, 13.8, 20.2), QRectF(14, 46, 262, 336));
    paintGround(p, Sport::Zevez, frame.metres, frame.card);
    const QTransform& m = frame.metres;
    const QVector<QPointF> points = mapped(m, stationMetres(Sport::Zevez));

    const Way ways[12] = {Way::Forward,  Way::Sideways, Way::Sideways, Way::Forward,
                          Way::Forward,  Way::Backward, Way::Forward,  Way::Sideways,
                          Way::Sideways, Way::Forward,  Way::Forward,  Way::Backward};
    for (int i = 0; i < 12; ++i) {
        drawWayLeg(p, points[i], points[(i + 1) % 12], ways[i], 7, 8);
    }

    // Measures of the court and of the cones off the lines.
    drawDimension(p, m.map(QPointF(-6.0, -9)), m.map(QPointF(-6.0, 9)), QStringLiteral("18 m"));
    drawDimension(p, m.map(QPointF(-4.5, 9.65)), m.map(QPointF(4.5, 9.65)), QStringLiteral("9 m"));
    drawDimension(p, m.map(QPointF(6.0, 0)), m.map(QPointF(6.0, 3)), QStringLiteral("3 m"));
    drawDimension(p, m.map(QPointF(2.0, 1.05)), m.map(QPointF(4.5, 1.05)), QStringLiteral("2,5 m"));
    drawDimension(p, m.map(QPointF(-4.5, -5.8)), m.map(QPointF(-1.0, -5.8)), QStringLiteral("3,5 m"));
    drawDimension(p, m.map(QPointF(-1.0, -9.0)), m.map(QPointF(-1.0, -7.5)), QStringLiteral("1,5 m"));

    drawNumberedCones(p, points, 10,
                      {QPointF(1, 0.15), QPointF(1, 0), QPointF(0.3, -1), QPointF(1, 0), QPointF(1, -1),
                       QPointF(-0.6, 1), QPointF(-1, -1), QPointF(-1, 0), QPointF(-0.3, -1), QPointF(-1, 0),
                       QPointF(-1, 0.15), QPointF(0, -1)});

    // Legend of the three ways of moving.
    const qreal legendTop = 392;
    p.save();
    QPainterPath box;
    box.addRoundedRect(QRectF(14, legendTop, 262, 80), 6, 6);
    p.fillPath(box, QColor(244, 246, 249));
    p.setPen(QPen(QColor(200, 206, 214), 1));
    p.drawPath(box);
    p.setPen(kInk);
    p.setFont(sansFont(11.5, QFont::Bold));
    p.drawText(QRectF(26, legendTop + 5, 240, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Desplazamientos"));
    const struct {
        Way way;
        const char* text;
    } rows[] = {{Way::Forward, "Carrera de frente"},
                {Way::Sideways, "Desplazamiento lateral"},
                {Way::Backward, "Carrera de espaldas"}};
    p.setFont(sansFont(11));
    for (int r = 0; r < 3; ++r) {
        const qreal y = legendTop + 31 + r * 17;
        p.setPen(wayPen(rows[r].way));
        p.drawLine(QPointF(30, y), QPointF(70, y));
        drawArrowHead(p, QPointF(80, y), QPointF(1, 0), 10, 9, wayPen(rows[r].way).color(), Qt::white);
        p.setPen(kInk);
        p.drawText(QRectF(92, y - 8, 180, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(rows[r].text));
    }
    p.restore();
    return image;
}

}  // namespace

QImage helpDrawing(Sport sport) {
    switch (sport) {
        case Sport::Futbol:
            return footballHelp();
        case Sport::FutSal:
            return futsalHelp();
        case Sport::Basket:
            return basketHelp();
        case Sport::Zevez:
            return zevezHelp();
    }
    return {};
}

}  // namespace norak::art
