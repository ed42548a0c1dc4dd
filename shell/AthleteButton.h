#pragma once

#include <QAbstractButton>

namespace norak {

// An athlete button B01 ... B14: a small flat silver button beside its row of the results grid,
// with a green triangle pointing at the row. Its tag is the athlete's number (the row).
class AthleteButton : public QAbstractButton {
    Q_OBJECT

  public:
    AthleteButton(int athlete, QWidget* parent = nullptr);

    int athlete() const { return m_athlete; }
    QSize sizeHint() const override;

  Q_SIGNALS:
    // The pointer moved over the button.
    void pointerMoved(int athlete);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

  private:
    int m_athlete;
};

}  // namespace norak
