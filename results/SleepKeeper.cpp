#include "results/SleepKeeper.h"

#include "platform/SleepInhibitor.h"
#include "results/TestRun.h"

namespace norak {

SleepKeeper::SleepKeeper(TestRun& run, SleepInhibitor* inhibitor, QObject* parent)
    : QObject(parent), m_inhibitor(inhibitor) {
    connect(&run, &TestRun::started, this, [this] {
        if (m_inhibitor)
            m_inhibitor->take(QStringLiteral("Prueba de esfuerzo en curso"));
    });
    connect(&run, &TestRun::stopped, this, &SleepKeeper::release);
    connect(&run, &TestRun::leaving, this, &SleepKeeper::release);
}

SleepKeeper::~SleepKeeper() {
    release();
}

void SleepKeeper::release() {
    if (m_inhibitor)
        m_inhibitor->release();
}

}  // namespace norak
