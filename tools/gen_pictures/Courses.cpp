#include "Courses.h"

#include "Paint.h"

#include <QPainterPath>
#include <QRandomGenerator>

#include <cmath>

namespace norak::art {

namespace {

constexpr qreal kPi = 3.14159265358979323846;

QVector<ConeSpot> spots(std::initializer_list<std::pair<int, int>> corners, qreal size) {
    QVector<ConeSpot> list;
    for (const auto& [x, y] : corners) {
        list.append({QPointF(x, y), QSizeF(size, size)});
    }
    return list;
}

// A pen whose width is in device pixels whatever the world transform is.
QPen linePen(const QColor& color, qreal width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(color, width, style, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

const QColor kLineWhite(250, 250, 246);

// Fine irregular grain that keep a flat surface from looking like a vector fill.
void sprinkleGrain(QPainter& p, const QRectF& area, int count, const QColor& dark, const QColor& light,
                   quint32 seed) {
    QRandomGenerator random(seed);
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(area.left() + random.bounded(area.width()),
                         area.top() + random.bounded(area.height()));
        p.setBrush(random.bounded(2) == 0 ? dark : light);
        const qreal r = 0.5 + random.bounded(0.9);
        p.drawEllipse(at, r, r);
    }
    p.restore();
}

void paintFootball(QPainter& p, const QTransform& m, const QRectF& card) {
    const QColor stripeA(88, 158, 70);
    const QColor stripeB(78, 145, 62);
    p.save();
    p.setWorldTransform(m, true);
    for (int k = -10; k < 10; ++k) {
        p.fillRect(QRectF(-40, k * 5.0, 80, 5.0), (k % 2 == 0) ? stripeA : stripeB);
    }
    p.restore();
    sprinkleGrain(p, card, 2600, QColor(40, 90, 30, 40), QColor(190, 230, 150, 35), 11);

    p.save();
    p.setWorldTransform(m, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(linePen(kLineWhite, 2.2));
    p.drawLine(QPointF(-40, 0), QPointF(40, 0));
    p.drawEllipse(QPointF(0, 0), 9.15, 9.15);
    p.setPen(Qt::NoPen);
    p.setBrush(kLineWhite);
    p.drawEllipse(QPointF(0, 0), 0.3, 0.3);
    p.restore();
}

void paintFutsal(QPainter& p, const QTransform& m, const QRectF& card) {
    const QColor court(44, 110, 172);
    p.save();
    p.setWorldTransform(m, true);
    p.fillRect(QRectF(-10, -20, 20, 40), court);
    p.restore();
    sprinkleGrain(p, card, 1400, QColor(0, 0, 0, 18), QColor(255, 255, 255, 16), 23);

    p.save();
    p.setWorldTransform(m, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(linePen(kLineWhite, 2.0));
    p.drawRect(QRectF(-10, -20, 20, 40));
    p.drawLine(QPointF(-10, 0), QPointF(10, 0));
    p.drawEllipse(QPointF(0, 0), 3.0, 3.0);
    for (int end : {-1, 1}) {
        const qreal goalLine = 20.0 * end;
        // Penalty area: quarter circles of 6 m around the posts joined by a straight line.
        QPainterPath area;
        area.moveTo(-7.5, goalLine);
        area.arcTo(QRectF(-1.5 - 6, goalLine - 6, 12, 12), end < 0 ? 180 : 180, end < 0 ? 90 : -90);
        area.lineTo(1.5, goalLine - 6.0 * end);
        area.arcTo(QRectF(1.5 - 6, goalLine - 6, 12, 12), end < 0 ? 270 : 90, end < 0 ? 90 : -90);
        p.drawPath(area);
        // Corner arcs.
        for (int side : {-1, 1}) {
            QPainterPath arc;
            arc.moveTo(10.0 * side - 0.4 * side, goalLine);
            arc.quadTo(10.0 * side - 0.4 * side, goalLine - 0.4 * end, 10.0 * side, goalLine - 0.4 * end);
            p.drawPath(arc);
        }
        // Goal: posts on the goal line and the net behind it.
        p.save();
        const qreal depth = 0.9 * end;
        const QRectF net = QRectF(QPointF(-1.5, goalLine), QPointF(1.5, goalLine + depth)).normalized();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 50));
        p.drawRect(net.translated(0.12, 0.12));
        p.setBrush(QColor(240, 240, 240, 150));
        p.drawRect(net);
        p.setPen(linePen(QColor(150, 150, 150, 160), 0.6));
        for (qreal x = -1.25; x < 1.5; x += 0.25) {
            p.drawLine(QPointF(x, goalLine), QPointF(x, goalLine + depth));
        }
        p.drawLine(QPointF(-1.5, goalLine + depth / 2), QPointF(1.5, goalLine + depth / 2));
        p.setPen(linePen(QColor(120, 120, 120), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(net);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(-1.6, goalLine - 0.1, 0.2, 0.2));
        p.drawRect(QRectF(1.4, goalLine - 0.1, 0.2, 0.2));
        p.restore();
    }
    // Penalty marks at 6 m and 10 m, the 10 m side marks, substitution zones on the left.
    p.setPen(Qt::NoPen);
    p.setBrush(kLineWhite);
    for (int end : {-1, 1}) {
        p.drawEllipse(QPointF(0, 14.0 * end), 0.16, 0.16);
        p.drawEllipse(QPointF(0, 10.0 * end), 0.16, 0.16);
    }
    p.drawEllipse(QPointF(0, 0), 0.2, 0.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(linePen(kLineWhite, 2.0));
    for (qreal y : {-10.0, -5.0, 5.0, 10.0}) {
        p.drawLine(QPointF(-10.4, y), QPointF(-9.6, y));
    }
    p.restore();
}

void paintBasket(QPainter& p, const QTransform& m, const QRectF& card) {
    const QColor wood(212, 160, 100);
    const QColor paint(170, 70, 48);
    QRandomGenerator random(37);
    p.save();
    p.setWorldTransform(m, true);
    // Maple boards running along the court, in slightly different tones.
    for (qreal x = -7.5; x < 7.5; x += 0.5) {
        const int shade = int(random.bounded(9)) - 4;
        p.fillRect(QRectF(x, -14, 0.5, 28), wood.lighter(100 + shade));
    }
    p.setPen(linePen(QColor(150, 100, 55, 35), 0.6));
    for (qreal x = -7.0; x < 7.5; x += 0.5) {
        p.drawLine(QPointF(x, -14), QPointF(x, 14));
    }
    // Painted restricted areas and centre circle.
    p.setPen(Qt::NoPen);
    p.setBrush(paint);
    p.drawEllipse(QPointF(0, 0), 1.8, 1.8);
    p.drawRect(QRectF(-2.45, -14, 4.9, 5.8));
    p.drawRect(QRectF(-2.45, 8.2, 4.9, 5.8));
    p.restore();
    sprinkleGrain(p, card, 900, QColor(90, 50, 20, 20), QColor(255, 240, 210, 22), 41);

    p.save();
    p.setWorldTransform(m, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(linePen(kLineWhite, 2.0));
    p.drawRect(QRectF(-7.5, -14, 15, 28));
    p.drawLine(QPointF(-7.5, 0), QPointF(7.5, 0));
    p.drawEllipse(QPointF(0, 0), 1.8, 1.8);
    for (int end : {-1, 1}) {
        const qreal base = 14.0 * end;
        const qreal basket = (14.0 - 1.575) * end;
        const qreal freeThrow = (14.0 - 5.8) * end;
        p.setPen(linePen(kLineWhite, 2.0));
        p.drawRect(QRectF(QPointF(-2.45, base), QPointF(2.45, freeThrow)).normalized());
        // Free-throw circle: solid outside the lane, dashed inside it.
        const QRectF circle(-1.8, freeThrow - 1.8, 3.6, 3.6);
        p.drawArc(circle, end < 0 ? 180 * 16 : 0, 180 * 16);
        p.setPen(linePen(kLineWhite, 2.0, Qt::DashLine));
        p.drawArc(circle, end < 0 ? 0 : 180 * 16, 180 * 16);
        p.setPen(linePen(kLineWhite, 2.0));
        // Three-point line: straight parts 0,9 m from the side lines, then the 6,75 m arc.
        const qreal straight = std::sqrt(6.75 * 6.75 - 6.6 * 6.6);
        const qreal meet = basket - straight * end;
        p.drawLine(QPointF(-6.6, base), QPointF(-6.6, meet));
        p.drawLine(QPointF(6.6, base), QPointF(6.6, meet));
        const qreal sweep = 180.0 - 2.0 * (std::atan2(straight, 6.6) * 180.0 / kPi);
        const qreal start = end < 0 ? 180.0 + (180.0 - sweep) / 2 : (180.0 - sweep) / 2;
        QPainterPath arc;
        const QRectF arcBox(-6.75, basket - 6.75, 13.5, 13.5);
        arc.arcMoveTo(arcBox, start);
        arc.arcTo(arcBox, start, sweep);
        p.drawPath(arc);
        // Lane hash marks.
        for (qreal d : {1.75, 2.85, 3.7, 4.55}) {
            const qreal y = base - d * end;
            p.drawLine(QPointF(-2.45, y), QPointF(-2.6, y));
            p.drawLine(QPointF(2.45, y), QPointF(2.6, y));
        }
        // No-charge semicircle, backboard and ring.
        const QRectF noCharge(-1.25, basket - 1.25, 2.5, 2.5);
        p.drawArc(noCharge, end < 0 ? 180 * 16 : 0, 180 * 16);
        const qreal board = (14.0 - 1.2) * end;
        p.setPen(linePen(QColor(60, 60, 60), 3.0));
        p.drawLine(QPointF(-0.9, board), QPointF(0.9, board));
        p.setPen(linePen(QColor(232, 96, 20), 2.0));
        p.drawLine(QPointF(0, board), QPointF(0, basket + 0.225 * end));
        p.drawEllipse(QPointF(0, basket), 0.24, 0.24);
    }
    p.restore();
}

void paintZevez(QPainter& p, const QTransform& m, const QRectF& card) {
    const QColor court(220, 124, 62);
    p.save();
    p.setWorldTransform(m, true);
    p.fillRect(QRectF(-4.5, -9, 9, 18), court);
    p.restore();
    sprinkleGrain(p, card, 1500, QColor(0, 0, 0, 16), QColor(255, 255, 255, 16), 53);

    p.save();
    p.setWorldTransform(m, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(linePen(kLineWhite, 2.2));
    p.drawRect(QRectF(-4.5, -9, 9, 18));
    p.drawLine(QPointF(-4.5, -3), QPointF(4.5, -3));
    p.drawLine(QPointF(-4.5, 3), QPointF(4.5, 3));
    p.drawLine(QPointF(-4.5, 0), QPointF(4.5, 0));
    // Attack lines go on outside the court as five short dashes on either side.
    for (int side : {-1, 1}) {
        for (int k = 0; k < 5; ++k) {
            const qreal x0 = (4.5 + 0.2 + k * 0.35) * side;
            const qreal x1 = (4.5 + 0.2 + k * 0.35 + 0.15) * side;
            p.drawLine(QPointF(x0, -3), QPointF(x1, -3));
            p.drawLine(QPointF(x0, 3), QPointF(x1, 3));
        }
    }
    // Net across the centre line: its shadow, the cable from post to post, the white top tape
    // and the two antennas over the side lines.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawRect(QRectF(-5.5, 0.05, 11, 0.28));
    p.setPen(linePen(QColor(40, 40, 40), 1.0));
    p.drawLine(QPointF(-5.6, 0), QPointF(5.6, 0));
    p.setPen(linePen(QColor(30, 30, 30), 3.4));
    p.drawLine(QPointF(-4.6, 0), QPointF(4.6, 0));
    p.setPen(linePen(QColor(255, 255, 255), 1.6));
    p.drawLine(QPointF(-4.6, 0), QPointF(4.6, 0));
    for (int side : {-1, 1}) {
        p.setPen(linePen(QColor(220, 30, 30), 4.0));
        p.drawPoint(QPointF(4.5 * side, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(55, 60, 70));
        p.drawEllipse(QPointF(5.6 * side, 0), 0.16, 0.16);
        p.setBrush(QColor(140, 150, 165));
        p.drawEllipse(QPointF(5.6 * side - 0.03, -0.03), 0.07, 0.07);
    }
    p.restore();
}

}  // namespace

QVector<ConeSpot> coneSpots(Sport sport) {
    switch (sport) {
        case Sport::Futbol: {
            QVector<ConeSpot> list = spots({{249, 240},
                                            {207, 168},
                                            {248, 98},
                                            {207, 26},
                                            {126, 27},
                                            {85, 98},
                                            {125, 169},
                                            {85, 240},
                                            {125, 310},
                                            {85, 381},
                                            {125, 452},
                                            {207, 453},
                                            {248, 382},
                                            {207, 311}},
                                           9);
            for (int narrow : {6, 8, 10}) {
                list[narrow - 1].size.setWidth(8);
            }
            return list;
        }
        case Sport::FutSal:
            return spots({{275, 238},
                          {207, 193},
                          {274, 147},
                          {206, 87},
                          {114, 87},
                          {48, 147},
                          {114, 191},
                          {48, 238},
                          {114, 281},
                          {48, 329},
                          {114, 391},
                          {206, 391},
                          {274, 330},
                          {207, 282}},
                         12);
        case Sport::Basket:
            return spots({{264, 236},
                          {264, 117},
                          {190, 38},
                          {158, 117},
                          {125, 38},
                          {53, 117},
                          {53, 236},
                          {53, 356},
                          {126, 435},
                          {158, 356},
                          {189, 435},
                          {264, 356}},
                         14);
        case Sport::Zevez:
            return spots({{264, 448},
                          {264, 310},
                          {206, 239},
                          {264, 167},
                          {264, 28},
                          {134, 63},
                          {53, 28},
                          {53, 167},
                          {111, 239},
                          {53, 310},
                          {53, 448},
                          {184, 414}},
                         12);
    }
    return {};
}

QVector<QPointF> coneCentres(Sport sport) {
    QVector<QPointF> centres;
    for (const ConeSpot& spot : coneSpots(sport)) {
        centres.append(spot.centre());
    }
    return centres;
}

QVector<QPointF> stationMetres(Sport sport) {
    switch (sport) {
        case Sport::Futbol: {
            // A hexagonal lattice of side 9,15 m around the centre circle.
            const qreal r = 9.15;
            const qreal h = r * std::sqrt(3.0) / 2;
            return {{r, 0},          {r / 2, -h},    {r, -2 * h}, {r / 2, -3 * h}, {-r / 2, -3 * h},
                    {-r, -2 * h},    {-r / 2, -h},   {-r, 0},     {-r / 2, h},     {-r, 2 * h},
                    {-r / 2, 3 * h}, {r / 2, 3 * h}, {r, 2 * h},  {r / 2, h}};
        }
        case Sport::FutSal: {
            // Side cones on the touchlines, inner cones 4 m off the long axis; the end legs
            // measure 8 m and the zigzag legs about 7 m.
            const qreal end = 4.0 + std::sqrt(64.0 - 36.0) + 4.0;  // 13,29 m from halfway
            return {{10, 0},  {4, -4}, {10, -8}, {4, -end}, {-4, -end}, {-10, -8}, {-4, -4},
                    {-10, 0}, {-4, 4}, {-10, 8}, {-4, end}, {4, end},   {10, 8},   {4, 4}};
        }
        case Sport::Basket:
            // Side-line cones level with the free-throw lines, baseline cones at the lane corners.
            return {{7.5, 0},  {7.5, -8.45}, {2.3, -14}, {0, -8.45}, {-2.3, -14}, {-7.5, -8.45},
                    {-7.5, 0}, {-7.5, 8.45}, {-2.3, 14}, {0, 8.45},  {2.3, 14},   {7.5, 8.45}};
        case Sport::Zevez:
            return {{4.5, 9},   {4.5, 3},   {2, 0},  {4.5, -3}, {4.5, -9}, {-1, -7.5},
                    {-4.5, -9}, {-4.5, -3}, {-2, 0}, {-4.5, 3}, {-4.5, 9}, {1, 7.5}};
    }
    return {};
}

QTransform coursePanelTransform(Sport sport) {
    // Scale and origin follow from the outermost cones of each course.
    switch (sport) {
        case Sport::Futbol:
            return QTransform(82.25 / 9.15, 0, 0, 82.25 / 9.15, 171.25, 244.5);
        case Sport::FutSal:
            return QTransform(227.0 / 20, 0, 0, 227.0 / 20, 167.5, 244.0);
        case Sport::Basket:
            return QTransform(211.0 / 15, 0, 0, 397.0 / 28, 172.5, 250.5);
        case Sport::Zevez:
            return QTransform(211.0 / 9, 0, 0, 420.0 / 18, 164.5, 244.0);
    }
    return {};
}

QColor groundSurround(Sport sport) {
    switch (sport) {
        case Sport::Futbol:
            return QColor(84, 152, 66);
        case Sport::FutSal:
            return QColor(206, 98, 62);
        case Sport::Basket:
            return QColor(36, 74, 122);
        case Sport::Zevez:
            return QColor(72, 128, 150);
    }
    return Qt::gray;
}

QColor pathColor(Sport sport) {
    switch (sport) {
        case Sport::Futbol:
            return QColor(24, 36, 64);
        case Sport::FutSal:
            return QColor(24, 36, 64);
        case Sport::Basket:
            return QColor(24, 36, 64);
        case Sport::Zevez:
            return QColor(24, 36, 64);
    }
    return Qt::black;
}

void paintGround(QPainter& painter, Sport sport, const QTransform& metres, const QRectF& card) {
    QPainterPath cardPath;
    cardPath.addRoundedRect(card, 8, 8);
    drawSoftShadow(painter, cardPath, QPointF(0, 1.5), 3, QColor(0, 0, 0, 85));
    painter.save();
    painter.setClipPath(cardPath);
    painter.fillPath(cardPath, groundSurround(sport));
    switch (sport) {
        case Sport::Futbol:
            paintFootball(painter, metres, card);
            break;
        case Sport::FutSal:
            paintFutsal(painter, metres, card);
            break;
        case Sport::Basket:
            paintBasket(painter, metres, card);
            break;
        case Sport::Zevez:
            paintZevez(painter, metres, card);
            break;
    }
    // A faint light falling from the top of the card.
    QLinearGradient light(card.topLeft(), card.bottomLeft());
    light.setColorAt(0.0, QColor(255, 255, 255, 28));
    light.setColorAt(1.0, QColor(0, 0, 0, 22));
    painter.fillPath(cardPath, light);
    painter.restore();
    painter.save();
    painter.setPen(QPen(QColor(0, 0, 0, 70), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cardPath);
    painter.restore();
}

}  // namespace norak::art
