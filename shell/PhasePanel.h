#pragma once

#include <QLabel>
#include <QWidget>

#include "shell/controls/GaugeRec.h"
#include "shell/controls/StatusSign.h"

namespace norak {

// The phase row of a running test: the banner PanelRecVel (a one-line colored band naming the
// phase) over the progress bar GaugeRec, and at their right end the two status signs PanelStart
// (play) and PanelStop (pause) in the same place. Everything in it is hidden until a test starts.
class PhasePanel : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = 332;
    static constexpr int kHeight = 38;
    // Left offset of the banner and the progress bar; the bar ends this far before the signs.
    static constexpr int kBarOffset = 2;

    explicit PhasePanel(QWidget* parent = nullptr);

    QLabel* banner() const { return m_banner; }
    GaugeRec* gauge() const { return m_gauge; }
    StatusSign* startSign() const { return m_start; }
    StatusSign* stopSign() const { return m_stop; }

    // Banner looks: white on red for effort periods (and the warm-up), green on light green for
    // recoveries.
    void setEffortBanner(const QString& text);
    void setRecoveryBanner(const QString& text);
    // Brings one sign to the front of the other and shows it.
    void showStartSign();
    void showStopSign();
    // Width of the progress bar: up to the signs, keeping its left offset on both sides.
    void fitGaugeToSigns();

  private:
    void setBannerColors(const QColor& text, const QColor& band);

    QLabel* m_banner;
    GaugeRec* m_gauge;
    StatusSign* m_start;
    StatusSign* m_stop;
};

}  // namespace norak
