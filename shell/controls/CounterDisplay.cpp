#include "shell/controls/CounterDisplay.h"

namespace norak {

CounterDisplay::CounterDisplay(const QString& caption, const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    setAccessibleDescription(caption);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setLineWidth(2);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, QColor(0x1E, 0x1E, 0x1E));
    p.setColor(QPalette::Light, QColor(0xF4, 0xF4, 0xF4));
    p.setColor(QPalette::Dark, QColor(0x70, 0x70, 0x70));
    setPalette(p);
    setDigitSize(34);
}

void CounterDisplay::setDigitSize(int pixels) {
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(pixels);
    setFont(f);
}

}  // namespace norak
