#include "shell/controls/EffectLabel.h"

#include <QPainter>

#include "shell/controls/Fonts.h"

namespace norak {

EffectLabel::EffectLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColor(m_textColor);
}

void EffectLabel::setEffect(Effect effect) {
    m_effect = effect;
    update();
}

void EffectLabel::setTextColor(const QColor& color) {
    m_textColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
    update();
}

void EffectLabel::setShadowColor(const QColor& color) {
    m_shadowColor = color;
    update();
}

void EffectLabel::setShadowOffset(const QPoint& offset) {
    m_shadowOffset = offset;
    updateGeometry();
    update();
}

void EffectLabel::setCaptionFont(const QString& family, int pixelSize, bool bold, bool italic) {
    setFont(pixelFont(family, pixelSize, bold, italic));
}

void EffectLabel::setCentred(bool centred) {
    const Qt::Alignment vertical = alignment() & Qt::AlignVertical_Mask;
    setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | vertical);
}

QSize EffectLabel::sizeHint() const {
    const QSize base = QLabel::sizeHint();
    return base + QSize(std::abs(m_shadowOffset.x()) + 1, std::abs(m_shadowOffset.y()) + 1);
}

void EffectLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    const QRect area = contentsRect();
    const QString caption = text();
    const QColor color = isEnabled() ? m_textColor : QColor(160, 160, 160);

    // The caption with its effect stays inside the label: the text moves away from the side
    // the shadow falls on.
    QRect textArea = area;
    if (m_effect == Effect::Shadow) {
        const QPoint offset = m_shadowOffset;
        textArea = area.adjusted(std::max(0, -offset.x()), std::max(0, -offset.y()), -std::max(0, offset.x()),
                                 -std::max(0, offset.y()));
    } else if (m_effect == Effect::Sunken) {
        textArea = area.adjusted(1, 1, -1, -1);
    }
    switch (m_effect) {
        case Effect::None:
            break;
        case Effect::Shadow:
            painter.setPen(m_shadowColor);
            painter.drawText(textArea.translated(m_shadowOffset), flags, caption);
            break;
        case Effect::Sunken:
            painter.setPen(QColor(255, 255, 255));
            painter.drawText(textArea.translated(1, 1), flags, caption);
            painter.setPen(m_shadowColor);
            painter.drawText(textArea.translated(-1, -1), flags, caption);
            break;
    }
    painter.setPen(color);
    painter.drawText(textArea, flags, caption);
}

}  // namespace norak
