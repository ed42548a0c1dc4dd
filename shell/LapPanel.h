#pragma once

#include <QLabel>
#include <QWidget>

namespace norak {

// The lap number of an effort period: the caption LabelVueltaN ("Vuelta Nº") with the display
// EditVuelta at its right, a small badge made to sit in the bottom-right corner of the course
// panel. The panel itself draws nothing, so hiding the two leaves the course picture untouched.
// Both are hidden at load.
class LapPanel : public QWidget {
    Q_OBJECT

  public:
    explicit LapPanel(QWidget* parent = nullptr);

    QLabel* caption() const { return m_caption; }
    QLabel* display() const { return m_display; }

    // Background of the display (the edition's main color); its figures are white or black,
    // whichever reads better.
    void setDisplayColor(const QColor& color);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLabel* m_caption;
    QLabel* m_display;
};

}  // namespace norak
