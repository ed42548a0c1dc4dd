#include "shell/controls/GaugeRec.h"

#include <QLinearGradient>
#include <QPainter>

#include "shell/controls/ControlAccessibility.h"

namespace norak {

GaugeRec::GaugeRec(QWidget* parent) : QWidget(parent), m_barColors(effortColors()) {
    installControlAccessibility();
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(12);
    setFont(f);
    textChanged();
}

GaugeRec::BarColors GaugeRec::effortColors() {
    return {QColor(0xF5, 0xD9, 0x8B), QColor(0xF9, 0xAD, 0x0F), QColor(0xFF, 0x80, 0x00)};
}

GaugeRec::BarColors GaugeRec::recoveryColors() {
    return {QColor(0xCE, 0xFF, 0xCE), QColor(0x95, 0xFF, 0x95), QColor(0x00, 0xFF, 0x00)};
}

void GaugeRec::setMaximum(int maximum) {
    if (maximum < 0 || maximum == m_maximum)
        return;
    m_maximum = maximum;
    if (m_position > m_maximum) {
        m_position = m_maximum;
        textChanged();
    }
    update();
}

void GaugeRec::setPosition(int position) {
    if (position < 0 || position > m_maximum || position == m_position)
        return;
    m_position = position;
    textChanged();
}

void GaugeRec::setPrefix(const QString& prefix) {
    if (m_prefix == prefix)
        return;
    m_prefix = prefix;
    textChanged();
}

void GaugeRec::setSuffix(const QString& suffix) {
    if (m_suffix == suffix)
        return;
    m_suffix = suffix;
    textChanged();
}

void GaugeRec::setBarColors(const BarColors& colors) {
    m_barColors = colors;
    update();
}

void GaugeRec::setBackgroundColor(const QColor& color) {
    m_background = color;
    update();
}

QString GaugeRec::text() const {
    return m_prefix + QString::number(m_position) + m_suffix;
}

void GaugeRec::setEffortMode(int maximum) {
    setMaximum(maximum);
    setPrefix(QStringLiteral("Estación Nº: "));
    setSuffix(QString());
    setBarColors(effortColors());
}

void GaugeRec::setRecoveryMode(int maximum) {
    setMaximum(maximum);
    setPrefix(QString());
    setSuffix(QStringLiteral(" seg."));
    setBarColors(recoveryColors());
}

QSize GaugeRec::sizeHint() const {
    return {200, fontMetrics().height() + 6};
}

void GaugeRec::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(inner, m_background);

    if (m_maximum > 0 && m_position > 0) {
        const int barWidth = int(qint64(inner.width()) * m_position / m_maximum);
        QLinearGradient gradient(inner.topLeft(), inner.bottomLeft());
        gradient.setColorAt(0.0, m_barColors.light);
        gradient.setColorAt(0.45, m_barColors.middle);
        gradient.setColorAt(1.0, m_barColors.strong);
        painter.fillRect(QRect(inner.left(), inner.top(), barWidth, inner.height()), gradient);
        // A thin light line along the top gives the bar a little relief.
        painter.setPen(m_barColors.light.lighter(115));
        painter.drawLine(inner.left(), inner.top(), inner.left() + barWidth - 1, inner.top());
    }

    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);

    painter.setPen(Qt::black);
    painter.drawText(inner, Qt::AlignCenter, text());
}

void GaugeRec::textChanged() {
    // Qt tells assistive tools about the new name itself.
    setAccessibleName(text());
    update();
}

}  // namespace norak
