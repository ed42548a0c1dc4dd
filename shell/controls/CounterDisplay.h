#pragma once

#include <QLabel>

namespace norak {

// Read-only display of one run counter: big bold figures, centred on a framed white panel. The
// text shown is the display's value (other parts read it back); the caption that explains it
// goes into the accessible description.
class CounterDisplay : public QLabel {
    Q_OBJECT

  public:
    explicit CounterDisplay(const QString& caption, const QString& text, QWidget* parent = nullptr);

    // Size of the figures in pixels.
    void setDigitSize(int pixels);
};

}  // namespace norak
