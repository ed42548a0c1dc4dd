#include "shell/controls/FlatButton.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "shell/controls/ControlAccessibility.h"

namespace norak {

namespace {

constexpr int kSpacing = 4;  // between glyph and caption
constexpr int kMargin = 4;   // between border and content

}  // namespace

FlatButton::FlatButton(QWidget* parent) : QAbstractButton(parent) {
    installControlAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setAutoFillBackground(false);
}

void FlatButton::setCaption(const QString& caption) {
    setText(caption);  // also registers the "&" accelerator as the shortcut
    updateAccessibleName();
    updateGeometry();
    update();
}

void FlatButton::setHint(const QString& hint) {
    setToolTip(hint);
    updateAccessibleName();
}

void FlatButton::updateAccessibleName() {
    // With a caption the toolkit names the button by the caption without its "&" (and keeps
    // doing so when the caption changes); a glyph-only button is named by its hint.
    setAccessibleName(stripAccelerator(text()).isEmpty() ? toolTip() : QString());
}

void FlatButton::setCaptionColor(const QColor& color) {
    m_captionColor = color;
    update();
}

void FlatButton::setFaceColor(const QColor& color) {
    m_faceColor = color;
    update();
}

void FlatButton::setBorderColor(const QColor& color) {
    m_borderColor = color;
    update();
}

void FlatButton::setHighlightColor(const QColor& color) {
    m_highlightColor = color;
    update();
}

void FlatButton::setFocusedColor(const QColor& color) {
    m_focusedColor = color;
    update();
}

void FlatButton::setPressedColor(const QColor& color) {
    m_pressedColor = color;
    update();
}

void FlatButton::setGlyph(const QPixmap& glyph, const QPixmap& disabledGlyph) {
    m_glyph = glyph;
    m_disabledGlyph = disabledGlyph;
    m_glyphMask = QImage();
    m_glyphPainter = nullptr;
    updateGeometry();
    update();
}

void FlatButton::setTwoColorGlyph(const QImage& mask, const QColor& color0, const QColor& color1) {
    m_glyphPainter = nullptr;
    m_glyphMask = mask;
    m_disabledGlyph = QPixmap();
    setGlyphColors(color0, color1);
    updateGeometry();
}

void FlatButton::setGlyphPainter(GlyphPainter painter, const QSize& glyphSize) {
    m_glyph = QPixmap();
    m_disabledGlyph = QPixmap();
    m_glyphMask = QImage();
    m_glyphPainter = std::move(painter);
    m_painterGlyphSize = glyphSize;
    updateGeometry();
    update();
}

void FlatButton::setGlyphColors(const QColor& color0, const QColor& color1) {
    m_glyphColor0 = color0;
    m_glyphColor1 = color1;
    if (!m_glyphMask.isNull())
        m_glyph = twoColorGlyph(m_glyphMask, color0, color1);
    update();
}

void FlatButton::setGlyphLayout(GlyphLayout layout) {
    m_layout = layout;
    updateGeometry();
    update();
}

bool FlatButton::hasGlyph() const {
    return !m_glyph.isNull() || m_glyphPainter != nullptr;
}

QPixmap FlatButton::twoColorGlyph(const QImage& mask, const QColor& color0, const QColor& color1) {
    if (mask.isNull())
        return QPixmap();
    QImage image = mask.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const QColor& color = qGray(pixel) < 128 ? color0 : color1;
            const int alpha = qAlpha(pixel) * color.alpha() / 255;
            line[x] = qRgba(color.red(), color.green(), color.blue(), alpha);
        }
    }
    return QPixmap::fromImage(image);
}

QString FlatButton::stripAccelerator(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
                shown += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        shown += caption[i];
    }
    return shown;
}

QSize FlatButton::glyphSize() const {
    if (m_glyphPainter)
        return m_painterGlyphSize;
    if (m_glyph.isNull())
        return QSize();
    return m_glyph.deviceIndependentSize().toSize();
}

QSize FlatButton::sizeHint() const {
    const QSize glyph = glyphSize();
    int width = 2 * kMargin;
    int height = 2 * kMargin;
    const bool showCaption = m_layout != GlyphLayout::Alone && !text().isEmpty();
    if (showCaption) {
        const QFontMetrics metrics(font());
        width += metrics.horizontalAdvance(stripAccelerator(text()));
        height += metrics.height();
    }
    if (glyph.isValid() && m_layout == GlyphLayout::Above && showCaption) {
        width = std::max(width, glyph.width() + 2 * kMargin);
        height += glyph.height();
    } else if (glyph.isValid()) {
        width += glyph.width() + (showCaption ? kSpacing : 0);
        height = std::max(height, glyph.height() + 2 * kMargin);
    }
    return QSize(width, height);
}

void FlatButton::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FlatButton::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FlatButton::paintGlyph(QPainter& painter, const QRect& rect) {
    if (m_glyphPainter) {
        m_glyphPainter(painter, rect, m_glyphColor0, m_glyphColor1, isEnabled());
        return;
    }
    QPixmap pixmap = m_glyph;
    if (!isEnabled()) {
        if (!m_disabledGlyph.isNull()) {
            pixmap = m_disabledGlyph;
        } else {
            QStyleOption option;
            option.initFrom(this);
            pixmap = style()->generatedIconPixmap(QIcon::Disabled, m_glyph, &option);
        }
    }
    painter.drawPixmap(rect.topLeft(), pixmap);
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    const bool down = isDown() || isChecked();
    const bool hot = isEnabled() && (m_hovered || hasFocus());

    QColor face = m_faceColor;
    if (down)
        face = m_pressedColor.isValid() ? m_pressedColor : m_faceColor.darker(115);
    else if (isEnabled() && m_hovered && m_focusedColor.isValid())
        face = m_focusedColor;
    painter.fillRect(all, face);

    painter.setPen(hot ? m_highlightColor : m_borderColor);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(all.adjusted(0, 0, -1, -1));

    const QRect inner = all.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QSize glyph = glyphSize();
    const bool showCaption = m_layout != GlyphLayout::Alone && !text().isEmpty();
    const int shift = down ? 1 : 0;

    if (!showCaption) {
        if (glyph.isValid()) {
            QRect target(QPoint(0, 0), glyph);
            target.moveCenter(all.center());
            paintGlyph(painter, target.translated(shift, shift));
        }
        return;
    }

    QStyleOptionButton option;
    option.initFrom(this);
    const bool underline = style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this);
    const int mnemonic = underline ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    const QColor captionColor = isEnabled() ? m_captionColor : QColor(160, 160, 160);

    if (m_layout == GlyphLayout::Above) {
        // Glyph over the caption, the two centred together as one column.
        const QFontMetrics metrics(font());
        const int groupHeight = (glyph.isValid() ? glyph.height() : 0) + metrics.height();
        int y = inner.top() + std::max(0, (inner.height() - groupHeight) / 2);
        if (glyph.isValid()) {
            QRect target(QPoint(0, 0), glyph);
            target.moveTopLeft(QPoint(all.left() + (all.width() - glyph.width()) / 2, y));
            paintGlyph(painter, target.translated(shift, shift));
            y += glyph.height();
        }
        painter.setFont(font());
        painter.setPen(captionColor);
        const QRect textRect(inner.left(), y, inner.width(), metrics.height());
        painter.drawText(textRect.translated(shift, shift), Qt::AlignCenter | Qt::TextSingleLine | mnemonic,
                         text());
        return;
    }

    // Glyph and caption are centred together as one group.
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(stripAccelerator(text()));
    const int groupWidth = (glyph.isValid() ? glyph.width() + kSpacing : 0) + textWidth;
    int x = inner.left() + std::max(0, (inner.width() - groupWidth) / 2);
    if (glyph.isValid()) {
        const QRect target(x, all.top() + (all.height() - glyph.height()) / 2, glyph.width(), glyph.height());
        paintGlyph(painter, target.translated(shift, shift));
        x += glyph.width() + kSpacing;
    }
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic;
    painter.setFont(font());
    painter.setPen(captionColor);
    const QRect textRect(x, inner.top(), inner.right() - x + 1, inner.height());
    painter.drawText(textRect.translated(shift, shift), flags, text());
}

}  // namespace norak
