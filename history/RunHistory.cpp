#include "history/RunHistory.h"

#include <QTimer>

#include "engine/UserTexts.h"
#include "history/HistoryText.h"
#include "results/Journal.h"
#include "results/ReportData.h"
#include "results/TestRun.h"

namespace norak {

RunHistory::RunHistory(TestRun& run, HistoryKeeper& keeper, const Platform& platform, QObject* parent)
    : QObject(parent), m_run(run), m_keeper(keeper), m_platform(platform) {
    connect(&run, &TestRun::started, this, &RunHistory::started);
    connect(&run, &TestRun::stopped, this, &RunHistory::stopped);
    connect(&run, &TestRun::restored, this, &RunHistory::restored);
    connect(&run, &TestRun::newTestPrepared, this, [this] { m_keeper.forget(); });
    connect(&run, &TestRun::tableChanged, this, [this] {
        if (!m_run.isRunning())
            m_keeper.correct(tableRows());
    });
    connect(&run, &TestRun::activated, this, [this] {
        m_activated = true;
        sayPending();
    });
}

void RunHistory::tell(const QString& text) {
    m_pending << text;
    sayPending();
}

void RunHistory::sayPending() {
    if (m_pending.isEmpty() || !m_activated || m_run.isRunning())
        return;
    // After the verb (or the writer's report) under way, never inside it: a message box waits.
    QTimer::singleShot(0, this, [this] {
        if (m_run.isRunning())
            return;  // said after the test
        const QStringList texts = std::exchange(m_pending, {});
        for (const QString& text : texts)
            norak::tell(m_platform.sound, m_platform.messages, kHistoryCaption, text);
    });
}

void RunHistory::started(const RunStarted& started) {
    FinishedTest test;
    const EditionRecord& edition = m_run.edition();
    test.edition = edition.edition;
    test.editionTitle = edition.editionTitle;
    test.periodTable = m_run.session().activeTable();
    test.startedAt = started.at;
    test.mode = int(started.mode);
    test.startPeriod = started.startPeriod;
    test.startSpeedText = started.startSpeedText;
    test.warmUp = started.warmUp;
    test.soundOutput = m_soundOutputName ? m_soundOutputName() : QString();
    test.dateSeparator = m_platform.clock.dateSeparator();
    test.timeSeparator = m_platform.clock.timeSeparator();
    m_test = test;
}

void RunHistory::stopped(const RunStopped& stopped) {
    if (!m_test)
        return;
    FinishedTest test = *std::exchange(m_test, std::nullopt);
    test.stoppedAt = stopped.at;
    // The report's timing figures, from the same record and by the same rule.
    const ReportData figures = ReportData::compute(m_run.table(), m_run.session().timingRecord(), {});
    test.signalsGiven = figures.signalsGiven;
    test.latenessP50Ms = figures.latenessP50Ms;
    test.latenessP99Ms = figures.latenessP99Ms;
    test.latenessMaxMs = figures.latenessMaxMs;
    test.rows = tableRows();
    m_keeper.keep(test);
    sayPending();
}

void RunHistory::restored(const JournalState& state) {
    if (!state.startedAt.isValid())
        return;  // names typed before any Start: no test to keep
    FinishedTest test;
    const EditionRecord& edition = m_run.edition();
    test.edition = edition.edition;
    test.editionTitle = edition.editionTitle;
    test.startedAt = state.startedAt;
    test.stoppedAt = state.stoppedAt;
    test.mode = int(state.mode);
    test.startPeriod = state.startPeriod;
    test.startSpeedText = state.startSpeedText;
    test.dateSeparator = m_platform.clock.dateSeparator();
    test.timeSeparator = m_platform.clock.timeSeparator();
    test.rows = state.cells;
    m_keeper.keep(test);
}

QList<QStringList> RunHistory::tableRows() const {
    JournalState state;
    state.takeTable(m_run.table());
    return state.cells;
}

}  // namespace norak
