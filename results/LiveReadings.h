#pragma once

#include <QString>

#include "results/LiveValues.h"

namespace norak {

// What the results side reads from the test window at the moment it acts. The test window
// implements it; every call returns the state as it is now.
class LiveReadings {
  public:
    virtual ~LiveReadings() = default;
    // The live display texts and the start period for a dropout. The results panel sets the
    // edition and the decimal separator itself, so these two fields may be left as they are.
    virtual LiveValues liveValues() const = 0;
    // BitBtnStop is enabled, that is a test is running.
    virtual bool stopEnabled() const = 0;
    // WarmUpPhase (1 while the warm-up or its recovery runs).
    virtual int warmUpPhase() const = 0;
    // SpinEdit1's value, written into the export whatever the mode.
    virtual int spinEditValue() const = 0;
    // StartSpeedText, the speed captured when the test was started.
    virtual QString startSpeedText() const = 0;
    // ProgramDir, the folder the export folder "Export" lies under (ends with "/").
    virtual QString programDir() const = 0;
};

}  // namespace norak
