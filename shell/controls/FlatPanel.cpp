#include "shell/controls/FlatPanel.h"

#include <QPainter>

namespace norak {

FlatPanel::FlatPanel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::NoFrame);
    setFontColor(m_fontColor);
}

void FlatPanel::setColor(const QColor& color) {
    m_color = color;
    update();
}

void FlatPanel::setTransparent(bool transparent) {
    m_transparent = transparent;
    update();
}

void FlatPanel::setFontColor(const QColor& color) {
    m_fontColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

void FlatPanel::setFrame(Frame frame) {
    m_frame = frame;
    const int width = frame == Frame::None ? 0 : 1;
    setContentsMargins(width, width, width, width);
    update();
}

void FlatPanel::setFrameColor(const QColor& color) {
    m_frameColor = color;
    update();
}

void FlatPanel::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        const QRect all = rect();
        if (!m_transparent)
            painter.fillRect(all, m_color);
        const QColor light(255, 255, 255);
        const QColor dark(128, 128, 128);
        switch (m_frame) {
            case Frame::None:
                break;
            case Frame::Line:
                painter.setPen(m_frameColor);
                painter.drawRect(all.adjusted(0, 0, -1, -1));
                break;
            case Frame::Raised:
            case Frame::Lowered: {
                const QColor topLeft = m_frame == Frame::Raised ? light : dark;
                const QColor bottomRight = m_frame == Frame::Raised ? dark : light;
                painter.setPen(topLeft);
                painter.drawLine(all.topLeft(), all.topRight());
                painter.drawLine(all.topLeft(), all.bottomLeft());
                painter.setPen(bottomRight);
                painter.drawLine(all.bottomLeft(), all.bottomRight());
                painter.drawLine(all.topRight(), all.bottomRight());
                break;
            }
        }
    }
    QLabel::paintEvent(event);
}

}  // namespace norak
