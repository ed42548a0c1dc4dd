#include "shell/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace norak {

namespace {

// All glyphs are drawn on a 32 × 32 grid and scaled to the requested size.
constexpr qreal kGrid = 32.0;

// A disabled glyph keeps its shapes apart by lightness only, a little washed out.
QColor greyed(const QColor& color) {
    const int grey = qGray(color.rgb());
    const int washed = grey + (255 - grey) / 3;
    return QColor(washed, washed, washed, color.alpha());
}

QPen roundPen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawDisc(QPainter& p, const QColor& color0, const QColor& color1) {
    p.setPen(roundPen(color1, 1.2));
    p.setBrush(color0);
    p.drawEllipse(QPointF(16, 16), 13.6, 13.6);
}

void drawExit(QPainter& p, const QColor& c0, const QColor& c1) {
    // Door frame with the doorway in color 1 and the open leaf in color 0.
    p.setPen(roundPen(c0, 2.0));
    p.setBrush(c1);
    p.drawRect(QRectF(4, 3.5, 15, 25));
    const QPolygonF leaf{{4, 3.5}, {12, 6.5}, {12, 31}, {4, 28.5}};
    p.setBrush(c0);
    p.drawPolygon(leaf);
    p.setPen(Qt::NoPen);
    p.setBrush(c1);
    p.drawEllipse(QPointF(9.8, 17.5), 1.2, 1.2);

    // Arrow leaving through the doorway: a color-1 halo under a color-0 shaft and head.
    const QPolygonF head{{22.5, 10.5}, {30, 16.5}, {22.5, 22.5}};
    p.setPen(roundPen(c1, 5.0));
    p.drawLine(QPointF(15, 16.5), QPointF(24, 16.5));
    p.setBrush(c1);
    p.drawPolygon(head);
    p.setPen(roundPen(c0, 2.6));
    p.drawLine(QPointF(15, 16.5), QPointF(24, 16.5));
    p.setPen(roundPen(c0, 1.0));
    p.setBrush(c0);
    p.drawPolygon(head);
}

void drawNewSheet(QPainter& p, const QColor& c0, const QColor& c1) {
    const QPolygonF sheet{{7, 2.5}, {19.5, 2.5}, {26, 9}, {26, 29.5}, {7, 29.5}};
    p.setPen(roundPen(c0, 1.8));
    p.setBrush(c1);
    p.drawPolygon(sheet);
    const QPolygonF fold{{19.5, 2.5}, {19.5, 9}, {26, 9}};
    p.setBrush(c0);
    p.drawPolygon(fold);
    p.setPen(roundPen(c0, 1.6));
    for (qreal y : {13.5, 17.5, 21.5, 25.5})
        p.drawLine(QPointF(10.5, y), QPointF(y < 15 ? 16.5 : 22.5, y));
}

void drawPlay(QPainter& p, const QColor& c0, const QColor& c1) {
    drawDisc(p, c0, c1);
    const QPolygonF triangle{{12.5, 9}, {12.5, 23}, {24, 16}};
    p.setPen(roundPen(c1, 1.6));
    p.setBrush(c1);
    p.drawPolygon(triangle);
}

void drawStop(QPainter& p, const QColor& c0, const QColor& c1) {
    drawDisc(p, c0, c1);
    p.setPen(Qt::NoPen);
    p.setBrush(c1);
    p.drawRoundedRect(QRectF(10, 10, 12, 12), 1.6, 1.6);
}

void drawHelp(QPainter& p, const QColor& c0, const QColor& c1) {
    drawDisc(p, c0, c1);
    // Hook of the question mark: from the upper left round the top and right down to the middle.
    QPainterPath hook;
    const QRectF bow(11.5, 7.0, 9.0, 9.0);
    hook.arcMoveTo(bow, 155);
    hook.arcTo(bow, 155, -245);
    hook.lineTo(16, 19);
    p.setPen(roundPen(c1, 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(c1);
    p.drawEllipse(QPointF(16, 23.8), 2.0, 2.0);
}

void drawInfo(QPainter& p, const QColor& c0, const QColor& c1) {
    drawDisc(p, c0, c1);
    p.setPen(Qt::NoPen);
    p.setBrush(c1);
    p.drawEllipse(QPointF(16, 9.6), 2.3, 2.3);
    p.drawRoundedRect(QRectF(14.1, 13.2, 3.8, 11.3), 1.0, 1.0);
    p.drawRoundedRect(QRectF(12.2, 13.2, 5.0, 2.2), 0.8, 0.8);
    p.drawRoundedRect(QRectF(12.2, 22.8, 7.6, 2.2), 0.8, 0.8);
}

void drawStart(QPainter& p, const QColor& c0, const QColor& c1) {
    const QPolygonF arrow{{3, 11.5}, {16, 11.5}, {16, 4.5}, {29.5, 16}, {16, 27.5}, {16, 20.5}, {3, 20.5}};
    p.setPen(roundPen(c0, 2.2));
    p.setBrush(c1);
    p.drawPolygon(arrow);
}

void drawClose(QPainter& p, const QColor& c0, const QColor& c1) {
    drawDisc(p, c0, c1);
    p.setPen(roundPen(c1, 3.2));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawHistory(QPainter& p, const QColor& c0, const QColor& c1) {
    // Bars in color 1 outlined in color 0, rising left to right, on the axes' corner.
    p.setPen(roundPen(c0, 1.6));
    p.setBrush(c1);
    p.drawRect(QRectF(8, 18, 5, 10));
    p.drawRect(QRectF(15.5, 12, 5, 16));
    p.drawRect(QRectF(23, 5, 5, 23));
    p.setPen(roundPen(c0, 2.4));
    p.drawLine(QPointF(4, 3), QPointF(4, 29));
    p.drawLine(QPointF(4, 29), QPointF(30, 29));
}

}  // namespace

void paintGlyph(QPainter& painter, const QRectF& rect, Glyph glyph, const QColor& color0,
                const QColor& color1, bool enabled) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QColor c0 = enabled ? color0 : greyed(color0);
    const QColor c1 = enabled ? color1 : greyed(color1);
    const qreal side = qMin(rect.width(), rect.height());

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center() - QPointF(side / 2, side / 2));
    painter.scale(side / kGrid, side / kGrid);
    switch (glyph) {
        case Glyph::Exit:
            drawExit(painter, c0, c1);
            break;
        case Glyph::NewSheet:
            drawNewSheet(painter, c0, c1);
            break;
        case Glyph::Play:
            drawPlay(painter, c0, c1);
            break;
        case Glyph::Stop:
            drawStop(painter, c0, c1);
            break;
        case Glyph::Help:
            drawHelp(painter, c0, c1);
            break;
        case Glyph::Info:
            drawInfo(painter, c0, c1);
            break;
        case Glyph::Start:
            drawStart(painter, c0, c1);
            break;
        case Glyph::Close:
            drawClose(painter, c0, c1);
            break;
        case Glyph::History:
            drawHistory(painter, c0, c1);
            break;
    }
    painter.restore();
}

std::function<void(QPainter&, const QRect&, const QColor&, const QColor&, bool)> glyphPainter(Glyph glyph) {
    return [glyph](QPainter& painter, const QRect& rect, const QColor& color0, const QColor& color1,
                   bool enabled) { paintGlyph(painter, QRectF(rect), glyph, color0, color1, enabled); };
}

QPixmap drawGlyph(Glyph glyph, const QColor& color0, const QColor& color1, int size, qreal devicePixelRatio) {
    if (size <= 0)
        return {};
    if (devicePixelRatio <= 0)
        devicePixelRatio = 1.0;
    const int device = qRound(size * devicePixelRatio);
    QPixmap pixmap(device, device);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintGlyph(painter, QRectF(0, 0, size, size), glyph, color0, color1);
    return pixmap;
}

QPixmap editionGlyph(Glyph glyph, const EditionRecord& edition, int size, qreal devicePixelRatio) {
    const QColor dark(edition.colorDark.r, edition.colorDark.g, edition.colorDark.b);
    const QColor light(edition.colorLight.r, edition.colorLight.g, edition.colorLight.b);
    return drawGlyph(glyph, dark, light, size, devicePixelRatio);
}

}  // namespace norak
