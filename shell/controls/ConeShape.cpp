#include "shell/controls/ConeShape.h"

#include <QPainter>

#include "shell/controls/ControlAccessibility.h"

namespace norak {

ConeShape::ConeShape(QWidget* parent)
    : QWidget(parent), m_onText(QStringLiteral("iluminada")), m_offText(QStringLiteral("apagada")) {
    installControlAccessibility();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    updateStateText();
}

void ConeShape::setFillColor(const QColor& color) {
    if (m_fillColor == color)
        return;
    m_fillColor = color;
    update();
}

void ConeShape::setFillStyle(FillStyle style) {
    if (m_fillStyle == style)
        return;
    m_fillStyle = style;
    updateStateText();
    update();
}

void ConeShape::setOutlineColor(const QColor& color) {
    if (m_outlineColor == color)
        return;
    m_outlineColor = color;
    update();
}

void ConeShape::setOutlineWidth(int width) {
    width = qMax(0, width);
    if (m_outlineWidth == width)
        return;
    m_outlineWidth = width;
    update();
}

void ConeShape::setStateTexts(const QString& onText, const QString& offText) {
    m_onText = onText;
    m_offText = offText;
    updateStateText();
}

bool ConeShape::isLit() const {
    return !isHidden() && m_fillStyle == FillStyle::Solid;
}

void ConeShape::setVisible(bool visible) {
    QWidget::setVisible(visible);
    updateStateText();
}

void ConeShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal diameter = qMin(width(), height());
    // Keep the outline inside the widget: the pen is centred on the path.
    const qreal inset = m_outlineWidth / 2.0;
    const QRectF circle((width() - diameter) / 2.0 + inset, (height() - diameter) / 2.0 + inset,
                        diameter - m_outlineWidth, diameter - m_outlineWidth);
    if (m_outlineWidth > 0)
        painter.setPen(QPen(m_outlineColor, m_outlineWidth));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(m_fillStyle == FillStyle::Solid ? QBrush(m_fillColor) : QBrush(Qt::NoBrush));
    painter.drawEllipse(circle);
}

void ConeShape::updateStateText() {
    const QString text = isLit() ? m_onText : m_offText;
    if (accessibleDescription() != text)
        setAccessibleDescription(text);
}

}  // namespace norak
