#include "results/TestRun.h"

#include <QTimer>
#include <limits>
#include <utility>

#include "engine/ProgramDir.h"
#include "engine/UserTexts.h"
#include "results/CellText.h"
#include "results/Journal.h"

namespace norak {

namespace {
QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
}  // namespace

// Announces what the outermost verb changed as it ends: the table's change, then `changed` for the
// views (after a pacing tick only when something shown changed).
void TestRun::endVerb() {
    if (--m_verbDepth > 0)
        return;
    const bool table = std::exchange(m_tableDirty, false);
    if (table)
        Q_EMIT tableChanged();
    if (table || std::exchange(m_shownChanged, true))
        Q_EMIT changed();
}

TestRun::TestRun(int edition, const Platform& platform, QObject* parent)
    : QObject(parent), m_platform(platform) {
    // The export folder beside the program (made again by the export if this fails).
    m_programDir = withSlash(programDirOf(m_platform.files.programFilePath()));
    m_platform.files.createFolder(m_programDir + kExportFolderName);
    m_session = std::make_unique<TestSession>(edition, m_platform.ticks, m_platform.clock, m_platform.sound,
                                              m_platform.messages, static_cast<SessionHooks&>(*this));
    m_table = std::make_unique<ResultsTable>(edition);
    m_roster = std::make_unique<AthleteRoster>(*m_table);
    m_actions =
        std::make_unique<ResultsActions>(m_session->edition().editionTitle, *m_table, *m_roster, m_platform);
    // A name typed is an action of its own; a verb's cells and buttons are announced as it ends.
    connect(m_table.get(), &ResultsTable::dataChanged, this, [this] {
        const auto verb = beginVerb();
        m_tableDirty = true;
    });
}

void TestRun::activate() {
    const auto verb = beginVerb();
    m_programDir = withSlash(m_platform.files.currentFolder());
    m_session->activate();
    Q_EMIT activated();
}

void TestRun::start() {
    const auto verb = beginVerb();
    m_session->start();
    if (!m_session->isRunning())
        return;
    m_restoredResults = false;
    const TimingRecord& record = m_session->timingRecord();
    Q_EMIT started(RunStarted{display().mode, m_session->startPeriod(), m_session->StartSpeedText(),
                              m_session->WarmUpPhase() == 1, m_platform.clock.now(), record.startTick});
    Q_EMIT signalGiven(record.signalsGiven.back());
}

void TestRun::stop(bool byLeaving) {
    const auto verb = beginVerb();
    if (!m_session->isRunning())
        return;
    m_session->stop();
    Q_EMIT stopped(RunStopped{m_platform.clock.now(), byLeaving});
}

void TestRun::prepareNewTest() {
    const auto verb = beginVerb();
    if (m_session->isRunning())
        return;  // never reset a running test
    m_session->prepareNewTest();
    Q_EMIT newTestPrepared();
}

void TestRun::tick(void (TestSession::*look)()) {
    const auto verb = beginVerb();
    const DisplayState before = m_session->display();
    const TimingRecord& record = m_session->timingRecord();
    const auto [signalsBefore, recoveriesBefore] =
        std::pair(record.signalsGiven.size(), record.recoveries.size());
    ((*m_session).*look)();
    m_shownChanged = !(before == m_session->display());
    for (std::size_t i = signalsBefore; i < record.signalsGiven.size(); ++i)
        Q_EMIT signalGiven(record.signalsGiven[i]);
    for (std::size_t i = recoveriesBefore; i < record.recoveries.size(); ++i) {
        const TimingRecord::Recovery& r = record.recoveries[i];
        // The alert sounds at the last whole second three seconds before the departure.
        Q_EMIT recoveryBegan(RecoveryBegan{m_session->CurrentPeriod(), display().speedText, r.startTick,
                                           r.startTick + (r.nominalMs - 3000) / 1000 * 1000,
                                           r.startTick + r.nominalMs + 1});
    }
}

void TestRun::chooseMode(TestMode mode) {
    const auto verb = beginVerb();
    if (mode == display().mode)
        return;
    m_session->chooseMode(mode);  // another mode prepares a new test
    if (!m_session->isRunning())
        Q_EMIT newTestPrepared();
}

void TestRun::dropOut(int athlete) {
    if (!m_roster->isShown(athlete))
        return;  // not running: nothing happens
    recordDropout(athlete, liveValues(), false);
}

void TestRun::dropOutByWarnings(int athlete, const LiveValues& values) {
    recordDropout(athlete, values, true);
}

void TestRun::dropOutAsShown(int athlete, const LiveValues& values, const QString& by) {
    recordDropout(athlete, values, false, by);
}

void TestRun::recordDropout(int athlete, const LiveValues& values, bool byWarnings, const QString& by) {
    if (!m_roster->isShown(athlete))
        return;
    const auto verb = beginVerb();
    const Dropout dropout{
        athlete, m_platform.ticks.ticks(), m_table->cell(kColName, athlete), values, byWarnings, by};
    m_roster->dropout(athlete, dropout.values);
    Q_EMIT droppedOut(dropout);
}

bool TestRun::canWarn(int athlete) const {
    return isRunning() && m_session->WarmUpPhase() == 0 && m_roster->isShown(athlete);
}

void TestRun::warnAthlete(int athlete) {
    warnAthleteAt(athlete, std::numeric_limits<int>::max());
}

void TestRun::warnAthleteAt(int athlete, int leg, const QString& by) {
    if (!canWarn(athlete) || leg < 1)
        return;
    // The cone missed is that of a leg signal of the test proper (the latest one for the arrow's
    // press): the departures and the warm-up's legs are no cone to reach.
    Warning warning{athlete, m_table->cell(kColName, athlete), m_platform.ticks.ticks()};
    warning.by = by;
    for (const TimingRecord::Signal& s : m_session->timingRecord().signalsGiven) {
        if (s.kind != TimingRecord::SignalKind::Leg || s.phase != TimingRecord::Phase::Effort)
            continue;
        if (warning.leg == leg)
            break;
        ++warning.leg;
        warning.period = s.period;
        warning.signal = s.signal;
        warning.station = s.station;
    }
    if (warning.leg == 0 || (leg != std::numeric_limits<int>::max() && warning.leg != leg))
        return;
    const auto verb = beginVerb();
    Q_EMIT warned(warning);
}

void TestRun::takeBackWarning(int athlete) {
    if (!canWarn(athlete))
        return;
    const auto verb = beginVerb();
    Q_EMIT warningTakenBack(athlete);
}

bool TestRun::canReactivateCurrentRow() const {
    return m_roster->canReactivate(m_table->currentRow(), display().stopEnabled, m_session->WarmUpPhase());
}

void TestRun::reactivateCurrentRow() {
    reactivate(m_table->currentRow());
}

bool TestRun::canReactivate(int athlete) const {
    return m_roster->canReactivate(athlete, display().stopEnabled, m_session->WarmUpPhase());
}

void TestRun::reactivate(int athlete) {
    const auto verb = beginVerb();
    if (m_table->cell(kColName, athlete).isEmpty() || !display().stopEnabled || m_session->WarmUpPhase() != 0)
        return;
    m_roster->reactivate(athlete);
    Q_EMIT reactivated(athlete);
}

bool TestRun::loadSquad(const QList<SquadRow>& rows) {
    if (!loadEnabled())
        return false;
    const auto verb = beginVerb();
    m_actions->replaceNames(rows, exportFacts());
    return true;
}

void TestRun::restore(const JournalState& state) {
    if (m_session->isRunning())
        return;
    const auto verb = beginVerb();
    // A test running when the program died comes back stopped, its runners without results.
    state.putInto(*m_table);
    m_restoredResults = true;
    m_tableDirty = true;
    Q_EMIT restored(state);
}

ResultsActions::ExportOutcome TestRun::exportResults() {
    if (!tableButtonsEnabled())
        return ResultsActions::ExportOutcome::NothingToExport;
    const auto verb = beginVerb();
    m_tableDirty = true;  // the export flag
    return m_actions->exportResults(exportFacts());
}

bool TestRun::clearTable() {
    if (!tableButtonsEnabled())
        return false;
    const auto verb = beginVerb();
    return m_actions->clearTable();
}

bool TestRun::tableButtonsEnabled() const {
    return (m_restoredResults && !isRunning() && m_table->hasNamedAthlete()) ||
           (display().exportEnabled && display().clearEnabled);
}

bool TestRun::confirmLeave() {
    const auto verb = beginVerb();
    if (!m_session->isRunning()) {
        if (!m_actions->confirmLeave(exportFacts()))
            return false;
        Q_EMIT leaving();
        return true;
    }
    // During a test: no, and it goes on untouched; yes, and it ends as Stop ends it, every runner
    // recorded, before the results are offered for saving.
    if (!m_actions->askLeave())
        return false;
    stop(true);
    m_actions->askToSaveUnexported(exportFacts());
    Q_EMIT leaving();
    return true;
}

GlanceFigures TestRun::glance() const {
    using P = GlanceFigures::Phase;
    const P phase = !isRunning() ? P::BetweenTests : m_session->WarmUpPhase() != 0 ? P::WarmUp : P::Timed;
    return GlanceFigures::of(*m_table, *m_roster, phase);
}

LiveValues TestRun::liveValues() const {
    const DisplayState& d = display();
    const int edition = m_session->edition().edition;
    return {d.clockText,
            d.periodText,
            d.distanceText,
            d.speedText,
            m_session->startPeriod(),
            edition,
            m_platform.clock.decimalSeparator()};
}

void TestRun::reportBadPeriodLine(int period, const QString& line) {
    // Shown after the tick that found it, so that the pacing handler is never held up.
    const QString text = badPeriodLineText(period, line);
    QTimer::singleShot(0, this, [this, text] { warn(m_platform.sound, m_platform.messages, text); });
}

}  // namespace norak
