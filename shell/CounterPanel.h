#pragma once

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "shell/controls/CounterDisplay.h"

namespace norak {

// A raised panel of run counters, each a caption over its display, spread evenly over the panel:
// stacked one under the other in a tall panel, side by side in a wide one. The panel color is the edition's;
// captions are written in white or black, whichever reads better on it.
class CounterPanel : public QFrame {
    Q_OBJECT

  public:
    explicit CounterPanel(const QString& objectName, QWidget* parent = nullptr);

    enum class Shown { Yes, Never };

    // Adds a counter at the bottom. The caption also becomes the display's accessible description.
    // A counter that is never shown (a hidden store of a value) takes no room in the panel.
    CounterDisplay* addCounter(const QString& displayName, const QString& captionName, const QString& caption,
                               const QString& text, Shown shown = Shown::Yes);
    // The caption shown above a display added here.
    QLabel* captionOf(const CounterDisplay* display) const;

    QColor panelColor() const { return m_color; }
    void setPanelColor(const QColor& color);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QBoxLayout* m_layout;
    QColor m_color;
};

}  // namespace norak
