#pragma once

#include <QColor>
#include <QLabel>
#include <QPoint>

namespace norak {

// A caption label painted with a shadow or a sunken effect. It stays a label: its text is the
// caption that assistive tools read; only the painting differs.
class EffectLabel : public QLabel {
    Q_OBJECT

  public:
    enum class Effect {
        None,
        Shadow,  // the caption over a copy of itself in the shadow color, moved by the offset
        Sunken,  // the caption pressed into the ground: dark edge above-left, light below-right
    };

    explicit EffectLabel(QWidget* parent = nullptr);

    void setCaption(const QString& caption) { setText(caption); }
    QString caption() const { return text(); }

    void setEffect(Effect effect);
    Effect effect() const { return m_effect; }
    void setTextColor(const QColor& color);
    QColor textColor() const { return m_textColor; }
    void setShadowColor(const QColor& color);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowOffset(const QPoint& offset);
    QPoint shadowOffset() const { return m_shadowOffset; }
    // Face and style; the size is in pixels.
    void setCaptionFont(const QString& family, int pixelSize, bool bold, bool italic);
    void setCentred(bool centred);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Effect m_effect = Effect::Shadow;
    QColor m_textColor{192, 192, 192};
    QColor m_shadowColor{128, 128, 128};
    QPoint m_shadowOffset{2, 2};
};

}  // namespace norak
