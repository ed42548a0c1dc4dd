#pragma once

#include "results/LiveReadings.h"

namespace norak {

// The test window's state as a test sets it.
class FakeLiveReadings : public LiveReadings {
  public:
    LiveValues liveValues() const override { return m_values; }
    bool stopEnabled() const override { return m_stopEnabled; }
    int warmUpPhase() const override { return m_warmUpPhase; }
    int spinEditValue() const override { return m_spinEditValue; }
    QString startSpeedText() const override { return m_startSpeedText; }
    QString programDir() const override { return m_programDir; }

    LiveValues m_values;
    bool m_stopEnabled = false;
    int m_warmUpPhase = 0;
    int m_spinEditValue = 1;
    QString m_startSpeedText = QStringLiteral("4,2");
    QString m_programDir = QStringLiteral("/home/coach/");
};

}  // namespace norak
