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
        Shadow,  // the caption over a copy of itself in the shadow colour, moved by the offset
        Sunken,  // the caption pressed into the ground: dark edge above-left, light below-right
    };

    explicit EffectLabel(QWidget* parent = nullptr);

    void setCaption(const QString& caption) { setText(caption); }
    QString caption() const { return text(); }

    void setEffect(Effect effect);
    Effect effect() const { return m_effect; }
    void setTextColour(const QColor& colour);
    QColor textColour() const { return m_textColour; }
    void setShadowColour(const QColor& colour);
    QColor shadowColour() const { return m_shadowColour; }
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
    QColor m_textColour{192, 192, 192};
    QColor m_shadowColour{128, 128, 128};
    QPoint m_shadowOffset{2, 2};
};

}  // namespace norak
