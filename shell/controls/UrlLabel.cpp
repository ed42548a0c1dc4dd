#include "shell/controls/UrlLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/DesktopShell.h"

namespace norak {

UrlLabel::UrlLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setLinkFont(font());
    setLinkColor(QColor(0, 0, 255));
}

void UrlLabel::setLinkColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

void UrlLabel::setLinkFont(const QFont& font) {
    QFont underlined = font;
    underlined.setUnderline(true);
    setFont(underlined);
}

QString UrlLabel::target() const {
    return m_mail ? QStringLiteral("mailto:") + text() : text();
}

void UrlLabel::activate() {
    const QString address = target();
    if (m_shell)
        m_shell->open(address);
    Q_EMIT activated(address);
}

void UrlLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void UrlLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        activate();
}

void UrlLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        activate();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

}  // namespace norak
