#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <memory>

#include "platform/Platform.h"

namespace norak {

class Journal;
class JournalWriter;
class RunWarnings;
class TestRun;
struct JournalState;
struct RunStarted;
struct RunStopped;

// The recovery journal of a run: the table and the test's facts kept in a folder, so that a run
// that did not end cleanly can be brought back. It attaches itself to the run: at the first
// activation a journal left behind is offered back (or set aside when it cannot be trusted), each
// verb that changed the table or the test is written once as it ends, and leaving the program
// removes the journal. While another copy of the program keeps the journal, this one says so
// once and leaves it alone.
class RunJournal : public QObject {
    Q_OBJECT

  public:
    // With `warnings`, the run's warnings are kept too, written with the table each time they change.
    RunJournal(TestRun& run, const Platform& platform, const QString& folder,
               const RunWarnings* warnings = nullptr, QObject* parent = nullptr);
    // Waits until everything posted is on disk.
    ~RunJournal() override;

    // Returns once the journal's writes so far are done (for a clean end and for tests).
    void flush();

  Q_SIGNALS:
    // A state of the run was handed to the writer (once per verb that changed something).
    void statePosted();

  private:
    void offerRestore();
    void note() { m_dirty = true; }
    void post();
    void end();

    TestRun& m_run;
    Platform m_platform;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalWriter> m_writer;
    const RunWarnings* m_warnings = nullptr;
    bool m_heldElsewhere = false;
    bool m_offered = false;  // nothing is written over a journal not yet offered back
    bool m_dirty = false;
    bool m_ended = false;
    QDateTime m_startedAt;
    QDateTime m_stoppedAt;
};

}  // namespace norak
