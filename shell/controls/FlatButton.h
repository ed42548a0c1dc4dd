#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <functional>

namespace norak {

// A flat, self-painted push button: a face, a one-pixel border, an optional glyph and a caption.
// The caption may carry a "&" accelerator: the "&" is not painted, the letter after it is
// underlined and Alt+letter clicks the button. The accessible name is the caption without "&"
// (or the hint when the button shows only a glyph); the hint is the tooltip.
class FlatButton : public QAbstractButton {
    Q_OBJECT

  public:
    enum class GlyphLayout {
        Left,   // glyph at the left, caption beside it
        Alone,  // glyph centred, caption not painted
        Above,  // glyph centred above the caption
    };

    // Draws a glyph into `rect` with the two glyph colors; used instead of a pixmap.
    using GlyphPainter = std::function<void(QPainter& painter, const QRect& rect, const QColor& color0,
                                            const QColor& color1, bool enabled)>;

    explicit FlatButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return text(); }
    void setHint(const QString& hint);
    QString hint() const { return toolTip(); }

    void setCaptionFont(const QFont& font) { setFont(font); }
    void setCaptionColor(const QColor& color);
    QColor captionColor() const { return m_captionColor; }
    void setFaceColor(const QColor& color);
    QColor faceColor() const { return m_faceColor; }
    void setBorderColor(const QColor& color);
    QColor borderColor() const { return m_borderColor; }
    // Border color while the mouse rests on the button or it has the keyboard focus.
    void setHighlightColor(const QColor& color);
    QColor highlightColor() const { return m_highlightColor; }
    // Face color while the mouse rests on the button; invalid: the face color.
    void setFocusedColor(const QColor& color);
    QColor focusedColor() const { return m_focusedColor; }
    // Face color while the button is held down; invalid: a darker face.
    void setPressedColor(const QColor& color);
    QColor pressedColor() const { return m_pressedColor; }

    // Glyph as a picture; without a disabled picture a greyed copy of the normal one is used.
    void setGlyph(const QPixmap& glyph, const QPixmap& disabledGlyph = QPixmap());
    QPixmap glyph() const { return m_glyph; }
    // Two-color glyph from a mask, recolored whenever the glyph colors change.
    void setTwoColorGlyph(const QImage& mask, const QColor& color0, const QColor& color1);
    void setGlyphPainter(GlyphPainter painter, const QSize& glyphSize);
    void setGlyphColors(const QColor& color0, const QColor& color1);
    QColor glyphColor0() const { return m_glyphColor0; }
    QColor glyphColor1() const { return m_glyphColor1; }
    void setGlyphLayout(GlyphLayout layout);
    GlyphLayout glyphLayout() const { return m_layout; }
    bool hasGlyph() const;

    // The mask's dark pixels (grey level below 128) take color0, its light pixels color1;
    // transparency is kept.
    static QPixmap twoColorGlyph(const QImage& mask, const QColor& color0, const QColor& color1);
    // The caption as shown: "&&" becomes "&", a single "&" disappears.
    static QString stripAccelerator(const QString& caption);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void updateAccessibleName();
    QSize glyphSize() const;
    void paintGlyph(QPainter& painter, const QRect& rect);

    QColor m_captionColor{0, 0, 0};
    QColor m_faceColor{255, 255, 255};
    QColor m_borderColor{128, 128, 128};
    QColor m_highlightColor{0, 0, 0};
    QColor m_focusedColor;
    QColor m_pressedColor;
    QPixmap m_glyph;
    QPixmap m_disabledGlyph;
    QImage m_glyphMask;
    GlyphPainter m_glyphPainter;
    QSize m_painterGlyphSize;
    QColor m_glyphColor0{0, 0, 0};
    QColor m_glyphColor1{255, 255, 255};
    GlyphLayout m_layout = GlyphLayout::Left;
    bool m_hovered = false;
};

}  // namespace norak
