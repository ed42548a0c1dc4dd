#pragma once

#include <QPushButton>

namespace norak {

// A disabled button that only shows the state of a running test: a play triangle for an effort
// period, a pause sign (two bars) for a recovery. The sign is drawn in code, embossed like the
// glyph of a disabled button.
class StatusSign : public QPushButton {
    Q_OBJECT

  public:
    enum class Sign { Play, Pause };

    explicit StatusSign(Sign sign, QWidget* parent = nullptr);

    Sign sign() const { return m_sign; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPainterPath glyph(const QRectF& box) const;

    Sign m_sign;
};

}  // namespace norak
