#include "shell/RunAssembly.h"

#include "history/HistoryKeeper.h"
#include "history/HistoryWriter.h"
#include "history/RunHistory.h"
#include "results/RunJournal.h"
#include "results/RunRecord.h"
#include "results/SleepKeeper.h"
#include "results/SoundCheckGate.h"
#include "results/SquadLoader.h"
#include "results/TestRun.h"

namespace norak {

RunAssembly::RunAssembly(int edition, const Platform& platform)
    : m_platform(platform),
      m_run(std::make_unique<TestRun>(edition, m_platform)),
      m_soundCheck(std::make_unique<SoundCheckGate>(*m_run, m_platform)),
      m_squad(std::make_unique<SquadLoader>(*m_run, m_platform)),
      m_record(std::make_unique<RunRecord>(*m_run, m_platform)) {}

RunAssembly::~RunAssembly() {
    // The features go first, while the run they listen to is still there; the history's writer
    // stores what it was handed before it ends.
    m_history.reset();
    m_historyKeeper.reset();
    m_historyWriter.reset();
    m_journal.reset();
    m_sleepKeeper.reset();
    m_record.reset();
    m_squad.reset();
    m_soundCheck.reset();
}

void RunAssembly::keepAwakeWith(SleepInhibitor* inhibitor) {
    m_sleepKeeper = std::make_unique<SleepKeeper>(*m_run, inhibitor);
}

void RunAssembly::enableJournal(const QString& folder) {
    m_journal = std::make_unique<RunJournal>(*m_run, m_platform, folder);
}

void RunAssembly::enableHistory(const QString& path) {
    m_history.reset();
    m_historyKeeper.reset();
    m_historyWriter.reset();
    m_historyPath = path;
    m_historyWriter = std::make_unique<HistoryWriter>(path);
    m_historyKeeper = std::make_unique<HistoryKeeper>(*m_historyWriter, [this](const QString& text) {
        if (m_history)
            m_history->tell(text);
    });
    m_history = std::make_unique<RunHistory>(*m_run, *m_historyKeeper, m_platform);
    // A test ended by leaving is on disk before the program ends.
    QObject::connect(m_run.get(), &TestRun::leaving, m_historyWriter.get(), &HistoryWriter::flush);
}

}  // namespace norak
