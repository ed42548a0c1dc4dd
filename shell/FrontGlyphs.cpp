#include "shell/FrontGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace norak {

namespace {

QPixmap blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap closeGlyph(const QColor& color) {
    QPixmap pixmap = blank(12);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(2.5, 2.5), QPointF(9.5, 9.5));
    painter.drawLine(QPointF(9.5, 2.5), QPointF(2.5, 9.5));
    return pixmap;
}

QPixmap updateGlyph(const QColor& color0, const QColor& color1) {
    // A globe (the web) with a circular arrow around its lower right.
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color0, 1.0));
    painter.setBrush(color1);
    painter.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(4.5, 1.5, 5, 11));
    painter.drawLine(QPointF(1.5, 7), QPointF(12.5, 7));
    painter.setPen(QPen(color0, 1.6));
    painter.drawArc(QRectF(6.5, 6.5, 8, 8), -30 * 16, -200 * 16);
    QPainterPath head;
    head.moveTo(15.5, 8.0);
    head.lineTo(15.5, 12.0);
    head.lineTo(11.8, 11.0);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color0);
    painter.drawPath(head);
    return pixmap;
}

QPixmap bookGlyph(const QColor& color0, const QColor& color1) {
    // An open book.
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color0, 1.0));
    painter.setBrush(color1);
    QPainterPath left;
    left.moveTo(8, 4);
    left.cubicTo(6, 2.5, 3, 2.5, 1, 3.5);
    left.lineTo(1, 13.5);
    left.cubicTo(3, 12.5, 6, 12.5, 8, 14);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(8, 4);
    right.cubicTo(10, 2.5, 13, 2.5, 15, 3.5);
    right.lineTo(15, 13.5);
    right.cubicTo(13, 12.5, 10, 12.5, 8, 14);
    right.closeSubpath();
    painter.drawPath(left);
    painter.drawPath(right);
    painter.setPen(QPen(color0, 0.8));
    for (double y : {6.0, 8.0, 10.0}) {
        painter.drawLine(QPointF(3, y), QPointF(6.5, y + 0.5));
        painter.drawLine(QPointF(9.5, y + 0.5), QPointF(13, y));
    }
    return pixmap;
}

}  // namespace norak
