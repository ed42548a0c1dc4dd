#pragma once

#include <QList>
#include <QObject>
#include <vector>

#include "engine/TimingRecord.h"
#include "engine/WarningRule.h"
#include "results/LiveValues.h"
#include "results/RunEvents.h"

namespace norak {

class TestRun;
struct JournalState;

// The warnings' keeping of a run. It attaches itself to the run and hears its warnings, legs and
// recoveries; when a warning completes the rule in force, the player is put out through the
// run's dropout verb with the values shown just before the signal of the series' first warning
// (the last leg completed on time). For that it notes, at each leg signal of the test proper, the
// values the display showed before it. The list of the last test's warnings stays until the next
// Start (for the report, the journal and the history); the rows show them while the test runs.
class RunWarnings : public QObject {
    Q_OBJECT

  public:
    explicit RunWarnings(TestRun& run, QObject* parent = nullptr);

    // The rule for the next test; the running test keeps the one it started with.
    void setRule(const WarningRule& rule) { m_rule = rule; }
    const WarningRule& rule() const { return m_rule; }
    // The rule of the last test (started, or brought back by the journal).
    const WarningRule& ruleInForce() const { return m_inForce; }

    // Every warning of the last test that stands, in the order given.
    const QList<Warning>& warnings() const { return m_warnings; }
    // A player's warnings in the last test, and those of them that still count towards the rule
    // (none for a player not running).
    int count(int athlete) const;
    int counting(int athlete) const;
    int total() const { return int(m_warnings.size()); }
    // Whether the player has a warning "Quitar aviso" can take back (the player still running).
    bool canTakeBack(int athlete) const;

    // A journal's state: the warnings and the rule are written with the table and read back.
    void putInto(JournalState& state) const;

  Q_SIGNALS:
    // A warning was added or taken back, or the list was replaced (start, journal).
    void warningsChanged();

  private:
    struct Leg {
        LiveValues shownBefore;  // what the display showed just before this leg's signal
        int recoveries = 0;
    };

    void onStarted();
    void onSignal(const TimingRecord::Signal& signal);
    void onWarned(const Warning& warning);
    void onTakenBack(int athlete);
    void onReactivated(int athlete);
    void onRestored(const JournalState& state);
    WarningRule::Miss missOf(const Warning& warning) const;
    std::vector<WarningRule::Miss> missesOf(int athlete) const;
    qsizetype lastOf(int athlete) const;

    TestRun& m_run;
    WarningRule m_rule;
    WarningRule m_inForce;
    QList<Warning> m_warnings;
    std::vector<Leg> m_legs;  // the test proper's legs so far, leg n at n - 1
    int m_recoveries = 0;
    LiveValues m_shown;  // the values as the views last drew them
};

}  // namespace norak
