#include "results/RunRecord.h"

#include "results/Journal.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"

namespace norak {

RunRecord::RunRecord(TestRun& run, const Platform& platform, QObject* parent)
    : QObject(parent), m_run(run), m_platform(platform) {
    connect(&run, &TestRun::started, this, [this](const RunStarted& started) {
        m_settings = ReportSettings{started.mode, started.startPeriod, started.startSpeedText, started.warmUp,
                                    m_soundOutputName ? m_soundOutputName() : QString()};
        m_startedAt = started.at;
        m_stoppedAt = QDateTime();
        m_dropouts.clear();  // the timing record starts again with this test
    });
    connect(&run, &TestRun::stopped, this, [this](const RunStopped& stopped) { m_stoppedAt = stopped.at; });
    connect(&run, &TestRun::droppedOut, this, [this](const Dropout& dropout) {
        m_dropouts.append(DropoutMark{dropout.tick, dropout.athlete, dropout.name, dropout.by});
    });
    // A dropout pressed by mistake never happened; the player's real one comes later.
    connect(&run, &TestRun::reactivated, this, [this](int athlete) {
        m_dropouts.removeIf([athlete](const DropoutMark& mark) { return mark.athlete == athlete; });
    });
    connect(&run, &TestRun::restored, this, [this](const JournalState& state) {
        m_settings = ReportSettings{state.mode, state.startPeriod, state.startSpeedText, false, QString()};
        m_startedAt = state.startedAt;
        m_stoppedAt = state.stoppedAt;
    });
}

ReportOutcome RunRecord::saveReport() {
    if (!m_renderer || !m_run.tableButtonsEnabled())
        return ReportOutcome::NothingToReport;
    const TimingRecord& record = m_run.session().timingRecord();
    ReportJob job;
    job.editionTitle = m_run.edition().editionTitle;
    job.programDir = m_run.programDir();
    job.data = ReportData::compute(m_run.table(), record, m_settings);
    const QList<Warning> warnings = m_warnings ? m_warnings->warnings() : QList<Warning>();
    if (m_warnings)
        job.data.addWarnings(warnings, m_warnings->ruleInForce());
    if (record.signalsGiven.empty()) {
        job.data.start = m_startedAt;  // a table brought back: its start as the journal kept it
    } else {
        job.signalLog = SignalLog::lines(record, m_dropouts, warnings);
    }
    return norak::saveReport(job, m_platform, *m_renderer);
}

}  // namespace norak
