#include "shell/RunAssembly.h"

#include "results/RunJournal.h"
#include "results/RunRecord.h"
#include "results/RunWarnings.h"
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
      m_record(std::make_unique<RunRecord>(*m_run, m_platform)),
      m_warnings(std::make_unique<RunWarnings>(*m_run)) {
    m_record->setWarnings(m_warnings.get());
}

RunAssembly::~RunAssembly() {
    // The features go first, while the run they listen to is still there.
    m_journal.reset();
    m_sleepKeeper.reset();
    m_warnings.reset();
    m_record.reset();
    m_squad.reset();
    m_soundCheck.reset();
}

void RunAssembly::keepAwakeWith(SleepInhibitor* inhibitor) {
    m_sleepKeeper = std::make_unique<SleepKeeper>(*m_run, inhibitor);
}

void RunAssembly::enableJournal(const QString& folder) {
    m_journal = std::make_unique<RunJournal>(*m_run, m_platform, folder, m_warnings.get());
}

}  // namespace norak
