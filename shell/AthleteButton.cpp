#include "shell/AthleteButton.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include "results/ResultsGeometry.h"
#include "shell/ResultsLooks.h"

namespace norak {

using namespace results_looks;

namespace {

// The 6 × 11 glyph: a triangle pointing right with a black outline, bright green when enabled
// and grey when disabled, on a transparent background.
QImage triangleGlyph(bool enabled) {
    QImage image(6, 11, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setBrush(enabled ? QColor(0, 255, 0) : QColor(128, 128, 128));
    painter.drawPolygon(QPolygon({QPoint(0, 0), QPoint(5, 5), QPoint(0, 10)}));
    return image;
}

}  // namespace

AthleteButton::AthleteButton(int athlete, QWidget* parent) : QAbstractButton(parent), m_athlete(athlete) {
    setObjectName(QStringLiteral("B%1").arg(athlete, 2, 10, QLatin1Char('0')));
    setAccessibleName(QStringLiteral("Deportista %1").arg(athlete));
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    resize(sizeHint());
    hide();
}

QSize AthleteButton::sizeHint() const {
    return {kAthleteButtonWidth, kDataRowHeight};
}

void AthleteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor face = kAthleteButtonFace;
    if (isDown())
        face = kAthleteButtonPressed;
    else if (hasFocus())
        face = kAthleteButtonFocused;
    painter.fillRect(rect(), face);
    painter.setPen(kAthleteButtonBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    static const QImage normal = triangleGlyph(true);
    static const QImage disabled = triangleGlyph(false);
    const QImage& glyph = isEnabled() ? normal : disabled;
    painter.drawImage((width() - glyph.width()) / 2, (height() - glyph.height()) / 2, glyph);
}

void AthleteButton::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT pointerMoved(m_athlete);
    QAbstractButton::mouseMoveEvent(event);
}

void AthleteButton::enterEvent(QEnterEvent* event) {
    Q_EMIT pointerMoved(m_athlete);
    QAbstractButton::enterEvent(event);
}

}  // namespace norak
