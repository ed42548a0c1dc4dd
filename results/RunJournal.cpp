#include "results/RunJournal.h"

#include "engine/UserTexts.h"
#include "results/Journal.h"
#include "results/JournalWriter.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"

namespace norak {

RunJournal::RunJournal(TestRun& run, const Platform& platform, const QString& folder,
                       const RunWarnings* warnings, QObject* parent)
    : QObject(parent), m_run(run), m_platform(platform), m_warnings(warnings) {
    auto journal = std::make_unique<Journal>(run.edition().edition, folder);
    if (journal->claim() == Journal::Claim::HeldElsewhere) {
        // Another copy of the program is running: its journal is neither offered back here nor
        // overwritten or removed by this one.
        m_heldElsewhere = true;
    } else {
        m_journal = std::move(journal);
        m_writer = std::make_unique<JournalWriter>(*m_journal);
        // Said once, from the writer's thread; shown here, after whatever the window is doing.
        connect(
            m_writer.get(), &JournalWriter::writeFailed, this,
            [this](const QString& where) {
                warn(m_platform.sound, m_platform.messages, Journal::notKeptMessage(where));
            },
            Qt::QueuedConnection);
    }
    connect(&run, &TestRun::activated, this, &RunJournal::offerRestore);
    connect(&run, &TestRun::tableChanged, this, &RunJournal::note);
    connect(&run, &TestRun::newTestPrepared, this, &RunJournal::note);
    connect(&run, &TestRun::started, this, [this](const RunStarted& started) {
        m_startedAt = started.at;
        m_stoppedAt = QDateTime();
        note();
    });
    connect(&run, &TestRun::stopped, this, [this](const RunStopped& stopped) {
        m_stoppedAt = stopped.at;
        note();
    });
    connect(&run, &TestRun::restored, this, [this](const JournalState& state) {
        m_startedAt = state.startedAt;
        m_stoppedAt = state.stoppedAt;
        note();
    });
    // Every verb ends with `changed`: what it changed is written once, then.
    connect(&run, &TestRun::changed, this, &RunJournal::post);
    connect(&run, &TestRun::leaving, this, &RunJournal::end);
    if (m_warnings)
        connect(m_warnings, &RunWarnings::warningsChanged, this, &RunJournal::note);
    if (run.session().isActivated())
        offerRestore();
}

RunJournal::~RunJournal() {
    flush();
}

void RunJournal::flush() {
    if (m_writer)
        m_writer->waitUntilWritten();
}

void RunJournal::post() {
    if (!m_writer || !m_offered || m_ended || !m_dirty)
        return;
    m_dirty = false;
    JournalState state;
    state.edition = m_run.edition().edition;
    state.takeTable(m_run.table());
    state.mode = m_run.display().mode;
    state.startPeriod = m_run.session().startPeriod();
    state.startSpeedText = m_run.session().StartSpeedText();
    state.startedAt = m_startedAt;
    state.running = m_run.isRunning();
    state.stoppedAt = m_stoppedAt;
    if (m_warnings)
        m_warnings->putInto(state);
    m_writer->post(state);
    Q_EMIT statePosted();
}

// A clean end: the table is discarded as the program ends, and its journal with it.
void RunJournal::end() {
    m_ended = true;
    if (!m_writer)
        return;
    m_writer->removeJournal();
    m_writer->waitUntilWritten();
}

void RunJournal::offerRestore() {
    if (m_offered)
        return;
    m_offered = true;
    if (m_heldElsewhere) {
        warn(m_platform.sound, m_platform.messages, Journal::heldElsewhereMessage());
        return;
    }
    const Journal::LoadResult found = m_journal->load();
    switch (found.status) {
        case Journal::LoadStatus::Missing:
            return;
        case Journal::LoadStatus::Loaded:
            if (found.state.isEmpty()) {
                m_journal->remove();
                return;
            }
            m_platform.sound.alert(kAlertQuestion);
            if (m_platform.messages.askYesNo(Journal::restoreCaption(), Journal::restoreQuestion()))
                m_run.restore(found.state);
            else
                m_journal->remove();
            return;
        default:
            warn(m_platform.sound, m_platform.messages,
                 Journal::setAsideMessage(m_journal->setAside(m_platform.clock.now())));
            return;
    }
}

}  // namespace norak
