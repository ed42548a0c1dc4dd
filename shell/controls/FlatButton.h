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

    // Draws a glyph into `rect` with the two glyph colours; used instead of a pixmap.
    using GlyphPainter = std::function<void(QPainter& painter, const QRect& rect, const QColor& colour0,
                                            const QColor& colour1, bool enabled)>;

    explicit FlatButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return text(); }
    void setHint(const QString& hint);
    QString hint() const { return toolTip(); }

    void setCaptionFont(const QFont& font) { setFont(font); }
    void setCaptionColour(const QColor& colour);
    QColor captionColour() const { return m_captionColour; }
    void setFaceColour(const QColor& colour);
    QColor faceColour() const { return m_faceColour; }
    void setBorderColour(const QColor& colour);
    QColor borderColour() const { return m_borderColour; }
    // Border colour while the mouse rests on the button or it has the keyboard focus.
    void setHighlightColour(const QColor& colour);
    QColor highlightColour() const { return m_highlightColour; }
    // Face colour while the mouse rests on the button; invalid: the face colour.
    void setFocusedColour(const QColor& colour);
    QColor focusedColour() const { return m_focusedColour; }
    // Face colour while the button is held down; invalid: a darker face.
    void setPressedColour(const QColor& colour);
    QColor pressedColour() const { return m_pressedColour; }

    // Glyph as a picture; without a disabled picture a greyed copy of the normal one is used.
    void setGlyph(const QPixmap& glyph, const QPixmap& disabledGlyph = QPixmap());
    QPixmap glyph() const { return m_glyph; }
    // Two-colour glyph from a mask, recoloured whenever the glyph colours change.
    void setTwoColourGlyph(const QImage& mask, const QColor& colour0, const QColor& colour1);
    void setGlyphPainter(GlyphPainter painter, const QSize& glyphSize);
    void setGlyphColours(const QColor& colour0, const QColor& colour1);
    QColor glyphColour0() const { return m_glyphColour0; }
    QColor glyphColour1() const { return m_glyphColour1; }
    void setGlyphLayout(GlyphLayout layout);
    GlyphLayout glyphLayout() const { return m_layout; }
    bool hasGlyph() const;

    // The mask's dark pixels (grey level below 128) take colour0, its light pixels colour1;
    // transparency is kept.
    static QPixmap twoColourGlyph(const QImage& mask, const QColor& colour0, const QColor& colour1);
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

    QColor m_captionColour{0, 0, 0};
    QColor m_faceColour{255, 255, 255};
    QColor m_borderColour{128, 128, 128};
    QColor m_highlightColour{0, 0, 0};
    QColor m_focusedColour;
    QColor m_pressedColour;
    QPixmap m_glyph;
    QPixmap m_disabledGlyph;
    QImage m_glyphMask;
    GlyphPainter m_glyphPainter;
    QSize m_painterGlyphSize;
    QColor m_glyphColour0{0, 0, 0};
    QColor m_glyphColour1{255, 255, 255};
    GlyphLayout m_layout = GlyphLayout::Left;
    bool m_hovered = false;
};

}  // namespace norak
