#include "shell/controls/StatusSign.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace norak {

StatusSign::StatusSign(Sign sign, QWidget* parent) : QPushButton(parent), m_sign(sign) {
    setEnabled(false);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(sign == Sign::Play ? QStringLiteral("Esfuerzo") : QStringLiteral("Recuperación"));
    setAccessibleDescription(QStringLiteral("Estado de la prueba"));
}

QPainterPath StatusSign::glyph(const QRectF& box) const {
    QPainterPath path;
    if (m_sign == Sign::Play) {
        // An equilateral-looking triangle pointing right, optically centred.
        const qreal h = box.height();
        const qreal w = h * 0.87;
        const qreal left = box.center().x() - w / 2.0 + w * 0.08;
        path.moveTo(left, box.top());
        path.lineTo(left + w, box.center().y());
        path.lineTo(left, box.bottom());
        path.closeSubpath();
    } else {
        const qreal barWidth = box.height() * 0.3;
        const qreal gap = box.height() * 0.26;
        const qreal left = box.center().x() - barWidth - gap / 2.0;
        path.addRect(QRectF(left, box.top(), barWidth, box.height()));
        path.addRect(QRectF(left + barWidth + gap, box.top(), barWidth, box.height()));
    }
    return path;
}

void StatusSign::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const qreal side = qMin(width(), height()) * 0.5;
    const QRectF box(QPointF(0, 0), QSizeF(side, side));
    const QPainterPath path = glyph(box.translated(rect().center() - box.center()));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // Embossed: a light copy one pixel down and right, the sign itself on top.
    painter.setBrush(palette().color(QPalette::Light));
    painter.drawPath(path.translated(1, 1));
    painter.setBrush(QColor(0x6E, 0x6E, 0x6E));
    painter.drawPath(path);
}

}  // namespace norak
