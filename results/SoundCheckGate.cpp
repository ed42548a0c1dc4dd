#include "results/SoundCheckGate.h"

#include "results/TestRun.h"

namespace norak {

SoundCheckGate::SoundCheckGate(TestRun& run, const Platform& platform, QObject* parent)
    : QObject(parent),
      m_run(run),
      m_check(platform.sound, platform.messages, platform.ticks, run.edition().editionTitle) {
    connect(&run, &TestRun::started, &m_check, &SoundCheck::cancel);
}

void SoundCheckGate::checkSound() {
    if (!m_run.isRunning())
        m_check.start();
}

}  // namespace norak
