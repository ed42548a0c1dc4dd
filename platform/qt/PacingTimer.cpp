#include "platform/qt/PacingTimer.h"

#include "platform/TickSource.h"
#include "platform/qt/ThreadPriority.h"

namespace norak {

PacingTimer::PacingTimer(QObject* parent) : QObject(parent) {
    m_periodic.setTimerType(Qt::PreciseTimer);
    connect(&m_periodic, &QTimer::timeout, this, &PacingTimer::timeout);
    connect(&m_wakeUp, &PreciseWakeUp::fired, this, &PacingTimer::wakeUp);
}

void PacingTimer::start(int intervalMs) {
    m_wakeUp.stop();
    m_periodic.start(intervalMs);
}

void PacingTimer::stop() {
    m_periodic.stop();
    m_wakeUp.stop();
}

bool PacingTimer::isActive() const {
    return m_periodic.isActive();
}

int PacingTimer::interval() const {
    return m_periodic.interval();
}

namespace {
// Nanoseconds from now on the tick source's scale until its millisecond `tick` begins.
qint64 nsUntil(qint64 tick, const TickSource& ticks) {
    return tick * 1'000'000 - ticks.ticksNs();
}
}  // namespace

void PacingTimer::armAt(qint64 dueTick, const TickSource& ticks) {
    if (!m_periodic.isActive())
        return;
    if (m_wakeUp.isActive() && dueTick == m_dueTick && m_ticks == &ticks)
        return;
    const qint64 delay = nsUntil(dueTick + 1, ticks);
    if (delay <= 0) {
        m_wakeUp.stop();
        return;
    }
    // From the first wake-up of a test on, this thread must be on time even on a busy machine.
    ThreadPriority::raiseCurrentThreadOnce(ThreadPriority::Role::Pacing);
    m_dueTick = dueTick;
    m_ticks = &ticks;
    m_wakeUp.start(delay);
}

void PacingTimer::wakeUp() {
    // Should the wake-up come a fraction early (the millisecond fallback, or a clock that is not
    // the one the wake-up counts on), wait for the due moment rather than deliver a tick that
    // decides nothing.
    const qint64 delay = nsUntil(m_dueTick + 1, *m_ticks);
    if (delay > 0 && m_periodic.isActive()) {
        m_wakeUp.start(delay);
        return;
    }
    Q_EMIT timeout();
}

bool PacingTimer::isArmed() const {
    return m_wakeUp.isActive();
}

}  // namespace norak
