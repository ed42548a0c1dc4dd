#pragma once

#include <QString>
#include <memory>

#include "platform/Platform.h"

namespace norak {

class HistoryKeeper;
class HistoryWriter;
class RunHistory;
class RunJournal;
class RunRecord;
class SleepInhibitor;
class SleepKeeper;
class SoundCheckGate;
class SquadLoader;
class TestRun;

// The test run and the features attached to it, as the program puts them together. Each feature
// is a collaborator that listens to the run's signals: a new feature adds a collaborator here
// and its connect, not a member of the run and a line in its start.
class RunAssembly {
  public:
    RunAssembly(int edition, const Platform& platform);
    ~RunAssembly();

    TestRun& run() const { return *m_run; }
    SoundCheckGate& soundCheck() const { return *m_soundCheck; }
    SquadLoader& squad() const { return *m_squad; }
    RunRecord& record() const { return *m_record; }
    // Keeps the desktop awake during a test; none (the tests): nothing is asked.
    void keepAwakeWith(SleepInhibitor* inhibitor);
    // Keeps a recovery journal in `folder` from now on; a journal left by a run that did not end
    // cleanly is offered back at the first activation.
    void enableJournal(const QString& folder);
    RunJournal* journal() const { return m_journal.get(); }
    // Keeps every finished test in the history database at `path` from now on, stored on a
    // thread of its own. A history that cannot be kept is said once; the run goes on without it.
    void enableHistory(const QString& path);
    QString historyPath() const { return m_historyPath; }  // empty: no history kept
    HistoryWriter* historyWriter() const { return m_historyWriter.get(); }
    RunHistory* history() const { return m_history.get(); }

  private:
    Platform m_platform;
    std::unique_ptr<TestRun> m_run;  // made first, so that its features go before it
    std::unique_ptr<SoundCheckGate> m_soundCheck;
    std::unique_ptr<SquadLoader> m_squad;
    std::unique_ptr<RunRecord> m_record;
    std::unique_ptr<SleepKeeper> m_sleepKeeper;
    std::unique_ptr<RunJournal> m_journal;
    QString m_historyPath;
    std::unique_ptr<HistoryWriter> m_historyWriter;
    std::unique_ptr<HistoryKeeper> m_historyKeeper;
    std::unique_ptr<RunHistory> m_history;
};

}  // namespace norak
