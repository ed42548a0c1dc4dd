#pragma once

#include <QObject>
#include <QScopeGuard>
#include <QStringList>
#include <memory>
#include <optional>

#include "engine/SessionHooks.h"
#include "engine/TestSession.h"
#include "platform/Platform.h"
#include "results/AthleteRoster.h"
#include "results/GlanceFigures.h"
#include "results/LiveValues.h"
#include "results/ResultsActions.h"
#include "results/ResultsTable.h"
#include "results/RunEvents.h"

namespace norak {

struct JournalState;
struct SquadRow;

// One test run: the configuration and pacing (`TestSession`), the results table, the athlete slots
// and the user's flows on them. Each thing the operator or a timer does enters through a verb; the
// run changes its state and announces what happened. Features (the recovery journal, the report's
// record, staying awake, ...) listen, attached where the program is assembled, never named here.
class TestRun : public QObject, private SessionHooks {
    Q_OBJECT
    Q_MOC_INCLUDE("results/Journal.h")

  public:
    TestRun(int edition, const Platform& platform, QObject* parent = nullptr);

    const EditionRecord& edition() const { return m_session->edition(); }
    const DisplayState& display() const { return m_session->display(); }
    const TestSession& session() const { return *m_session; }
    bool isRunning() const { return m_session->isRunning(); }
    ResultsTable& table() const { return *m_table; }  // the views edit names through it
    const AthleteRoster& roster() const { return *m_roster; }
    QString programDir() const { return m_programDir; }  // the export folder's, ending with "/"
    LiveValues liveValues() const;                       // what a dropout now writes into a row
    GlanceFigures glance() const;                        // the glance area's figures

    void activate();  // the window is shown: the first time, a sound output is looked for
    void start();
    void stop(bool byLeaving = false);
    void prepareNewTest();
    // The pacing looks; each announces `changed` only when something shown changed.
    void effortTick() { tick(&TestSession::effortTick); }
    void recoveryTick() { tick(&TestSession::recoveryTick); }
    void clockTick() { tick(&TestSession::clockTick); }
    bool isTimerOn(TestSession::Timer timer) const { return m_session->isTimerOn(timer); }
    std::optional<qint64> nextDueTick() const { return m_session->nextDueTick(); }

    // The next test's configuration (another mode prepares a new test); the active period table.
    void chooseMode(TestMode mode);
    void setStartPeriod(int value) { configure(&TestSession::setStartPeriod, value); }
    void setSex(int sex) { configure(&TestSession::setSex, sex); }
    void setCategory(int category) { configure(&TestSession::setCategory, category); }
    void setWarmUp(bool checked) { configure(&TestSession::setWarmUp, checked); }
    void pointAtMode(std::optional<TestMode> overButton) { configure(&TestSession::pointAtMode, overButton); }
    void setActiveTable(const QStringList& lines) { configure(&TestSession::setActiveTable, lines); }

    void dropOut(int athlete);  // 1 ... 14
    // The warning rule's out: as the arrow's press, but with the values given (those shown before
    // the first warning of the series), announced as a dropout by warnings.
    void dropOutByWarnings(int athlete, const LiveValues& values);
    // A second scorer's dropout, pressed on a phone (`by`, "móvil 1") while the values given
    // were shown (those of an earlier leg when the press arrived after the next signal).
    void dropOutAsShown(int athlete, const LiveValues& values, const QString& by);
    // A warning for a running player at the latest leg signal of the test proper, and the taking
    // back of one pressed by mistake. Nothing happens before Start, in the warm-up, after Stop,
    // before the first leg signal, or for a player who is not running.
    void warnAthlete(int athlete);
    // The same for the cone of a given leg of the test proper (1 ... the latest leg signalled),
    // pressed by a second scorer (`by`, "móvil 1") or, with `by` empty, on the laptop.
    void warnAthleteAt(int athlete, int leg, const QString& by = {});
    void takeBackWarning(int athlete);
    bool canReactivateCurrentRow() const;
    void reactivateCurrentRow();
    // The same for a given athlete's row, the selection left as it is.
    bool canReactivate(int athlete) const;
    void reactivate(int athlete);

    ResultsActions::ExportOutcome exportResults();
    bool clearTable();
    bool tableButtonsEnabled() const;
    // A squad's names and codes in place of the table, between tests (false while one runs).
    bool loadSquad(const QList<SquadRow>& rows);
    bool loadEnabled() const { return !m_session->isRunning(); }
    // The table and the test's facts brought back from a recovery journal, between tests.
    void restore(const JournalState& state);
    // Leaving: during a test the leave question first (yes stops it), then the save question.
    bool confirmLeave();

  Q_SIGNALS:
    void changed();  // the views draw the state again: once per verb at most
    void activated();
    void started(const RunStarted& run);
    void stopped(const RunStopped& run);
    void newTestPrepared();
    void droppedOut(const Dropout& dropout);
    void reactivated(int athlete);
    void warned(const Warning& warning);
    void warningTakenBack(int athlete);
    // Names or results changed: once per verb, or per cell when edited outside one.
    void tableChanged();
    void signalGiven(const TimingRecord::Signal& signal);
    void recoveryBegan(const RecoveryBegan& recovery);
    void restored(const JournalState& state);
    void leaving();                // the program is left: the run ends with it
    void rowSelectionRequested();  // Start puts the results grid into row selection

  private:
    // SessionHooks
    void activateAthleteButtons() override { m_roster->activateAthleteButtons(); }
    void recordRemainingAthletes() override { m_roster->recordRemainingAthletes(liveValues()); }
    bool hasNamedAthlete() override { return m_table->hasNamedAthlete(); }
    void prepareResultsForNewTest() override { m_actions->prepareNewTest(exportFacts()); }
    void switchTableToRowSelection() override { Q_EMIT rowSelectionRequested(); }
    void reportBadPeriodLine(int period, const QString& line) override;

    // Every verb holds one of these while it runs; what it changed is announced as the outermost ends.
    auto beginVerb() {
        ++m_verbDepth;
        return qScopeGuard([this] { endVerb(); });
    }
    void endVerb();
    void tick(void (TestSession::*look)());
    bool canWarn(int athlete) const;
    void recordDropout(int athlete, const LiveValues& values, bool byWarnings, const QString& by = {});
    template <typename... Params, typename... Args>
    void configure(void (TestSession::*change)(Params...), const Args&... args) {
        const auto verb = beginVerb();
        (m_session.get()->*change)(args...);
    }
    ExportFacts exportFacts() const {
        return {display().chosenPeriod, session().StartSpeedText(), m_programDir};
    }

    Platform m_platform;
    QString m_programDir;
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<ResultsTable> m_table;
    std::unique_ptr<AthleteRoster> m_roster;
    std::unique_ptr<ResultsActions> m_actions;
    int m_verbDepth = 0;             // verbs under way: announcements wait for the outermost
    bool m_tableDirty = false;       // the table changed during the verbs under way
    bool m_shownChanged = true;      // a pacing tick changed something shown
    bool m_restoredResults = false;  // a restored table may be exported before any test
};

}  // namespace norak
