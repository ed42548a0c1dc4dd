#include "results/RunWarnings.h"

#include <algorithm>

#include "results/Journal.h"
#include "results/TestRun.h"

namespace norak {

RunWarnings::RunWarnings(TestRun& run, QObject* parent) : QObject(parent), m_run(run) {
    connect(&run, &TestRun::started, this, &RunWarnings::onStarted);
    // Every verb and every tick that changed what is shown ends with `changed`; a signal is
    // announced before it, so that at a signal the values noted are still those shown before it.
    connect(&run, &TestRun::changed, this, [this] {
        if (m_run.isRunning())
            m_shown = m_run.liveValues();
    });
    connect(&run, &TestRun::signalGiven, this, &RunWarnings::onSignal);
    connect(&run, &TestRun::recoveryBegan, this, [this] { ++m_recoveries; });
    connect(&run, &TestRun::warned, this, &RunWarnings::onWarned);
    connect(&run, &TestRun::warningTakenBack, this, &RunWarnings::onTakenBack);
    connect(&run, &TestRun::reactivated, this, &RunWarnings::onReactivated);
    connect(&run, &TestRun::restored, this, &RunWarnings::onRestored);
}

void RunWarnings::onStarted() {
    m_inForce = m_rule;
    m_warnings.clear();
    m_legs.clear();
    m_recoveries = 0;
    m_shown = m_run.liveValues();
    Q_EMIT warningsChanged();
}

void RunWarnings::onSignal(const TimingRecord::Signal& signal) {
    if (signal.kind == TimingRecord::SignalKind::Leg && signal.phase == TimingRecord::Phase::Effort)
        m_legs.push_back(Leg{m_shown, m_recoveries});
}

WarningRule::Miss RunWarnings::missOf(const Warning& warning) const {
    const std::size_t index = std::size_t(warning.leg - 1);
    return {warning.leg, index < m_legs.size() ? m_legs[index].recoveries : m_recoveries};
}

std::vector<WarningRule::Miss> RunWarnings::missesOf(int athlete) const {
    std::vector<WarningRule::Miss> misses;
    for (const Warning& w : m_warnings) {
        if (w.athlete == athlete)
            misses.push_back(missOf(w));
    }
    return misses;
}

qsizetype RunWarnings::lastOf(int athlete) const {
    for (qsizetype i = m_warnings.size() - 1; i >= 0; --i) {
        if (m_warnings[i].athlete == athlete)
            return i;
    }
    return -1;
}

void RunWarnings::onWarned(const Warning& warning) {
    // A cone is missed once: a second press for the same leg is the same warning.
    const qsizetype last = lastOf(warning.athlete);
    if (last >= 0 && m_warnings[last].leg >= warning.leg)
        return;
    m_warnings.append(warning);
    const std::vector<WarningRule::Miss> misses = missesOf(warning.athlete);
    const std::size_t start = m_inForce.seriesStart(misses);
    const bool out = m_inForce.putsOut(int(misses.size() - start));
    if (out)
        m_warnings.back().putOut = true;
    Q_EMIT warningsChanged();
    if (!out)
        return;
    // The series' first warning: its leg's values are those of the last leg completed on time.
    const std::size_t firstLeg = std::size_t(misses[start].leg - 1);
    const LiveValues values = firstLeg < m_legs.size() ? m_legs[firstLeg].shownBefore : m_run.liveValues();
    m_run.dropOutByWarnings(warning.athlete, values);
}

void RunWarnings::onTakenBack(int athlete) {
    const qsizetype last = lastOf(athlete);
    if (last < 0 || m_warnings[last].putOut)
        return;
    m_warnings.removeAt(last);
    Q_EMIT warningsChanged();
}

// A player put out by the rule and brought back: the warning that completed it never stood.
void RunWarnings::onReactivated(int athlete) {
    const qsizetype last = lastOf(athlete);
    if (last < 0 || !m_warnings[last].putOut)
        return;
    m_warnings.removeAt(last);
    Q_EMIT warningsChanged();
}

void RunWarnings::onRestored(const JournalState& state) {
    m_inForce = state.warningRule;
    m_warnings = state.warnings;
    m_legs.clear();
    Q_EMIT warningsChanged();
}

void RunWarnings::putInto(JournalState& state) const {
    state.warnings = m_warnings;
    state.warningRule = m_inForce;
}

int RunWarnings::count(int athlete) const {
    return int(std::count_if(m_warnings.cbegin(), m_warnings.cend(),
                             [athlete](const Warning& w) { return w.athlete == athlete; }));
}

int RunWarnings::counting(int athlete) const {
    const std::vector<WarningRule::Miss> misses = missesOf(athlete);
    if (misses.empty() || !m_run.isRunning() || !m_run.roster().isShown(athlete))
        return 0;
    const WarningRule::Miss latest{int(m_legs.size()), m_recoveries};
    if (!m_inForce.stillCounts(misses.back(), latest))
        return 0;
    return int(misses.size() - m_inForce.seriesStart(misses));
}

bool RunWarnings::canTakeBack(int athlete) const {
    const qsizetype last = lastOf(athlete);
    return last >= 0 && !m_warnings[last].putOut && m_run.isRunning() && m_run.roster().isShown(athlete);
}

}  // namespace norak
