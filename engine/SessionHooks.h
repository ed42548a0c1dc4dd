#pragma once

#include <QString>

namespace norak {

// What the test session asks of the run that owns it: the athletes and the results table,
// and the operator.
class SessionHooks {
  public:
    virtual ~SessionHooks() = default;
    // Shows the athlete button of every named row and hides the others.
    virtual void activateAthleteButtons() = 0;
    // Records every athlete still running, with the values now shown.
    virtual void recordRemainingAthletes() = 0;
    virtual bool hasNamedAthlete() = 0;
    // The results table's part of preparing a new test (save question, clearing results).
    virtual void prepareResultsForNewTest() = 0;
    // Puts the results table into row-selection mode, without editing.
    virtual void switchTableToRowSelection() = 0;
    // A line of the active period table is not a usable run time. Said once for a line, until it
    // reads as a run time again.
    virtual void reportBadPeriodLine(int period, const QString& line) = 0;
};

}  // namespace norak
