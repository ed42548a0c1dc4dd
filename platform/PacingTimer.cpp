#include "platform/PacingTimer.h"

#include <algorithm>
#include <limits>

#include "platform/TickSource.h"

namespace norak {

PacingTimer::PacingTimer(QObject* parent) : QObject(parent) {
    m_periodic.setTimerType(Qt::PreciseTimer);
    m_wakeUp.setTimerType(Qt::PreciseTimer);
    m_wakeUp.setSingleShot(true);
    connect(&m_periodic, &QTimer::timeout, this, &PacingTimer::timeout);
    connect(&m_wakeUp, &QTimer::timeout, this, &PacingTimer::wakeUp);
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

void PacingTimer::armAt(qint64 dueTick, const TickSource& ticks) {
    if (!m_periodic.isActive())
        return;
    const qint64 delay = dueTick + 1 - ticks.ticks();
    if (delay <= 0) {
        m_wakeUp.stop();
        return;
    }
    m_dueTick = dueTick;
    m_ticks = &ticks;
    m_wakeUp.start(int(std::min<qint64>(delay, std::numeric_limits<int>::max())));
}

void PacingTimer::wakeUp() {
    // The timer and the tick source round their milliseconds separately: should the wake-up
    // come a fraction early, wait for the due tick rather than deliver a tick that decides
    // nothing.
    const qint64 delay = m_dueTick + 1 - m_ticks->ticks();
    if (delay > 0 && m_periodic.isActive()) {
        m_wakeUp.start(int(std::min<qint64>(delay, std::numeric_limits<int>::max())));
        return;
    }
    Q_EMIT timeout();
}

bool PacingTimer::isArmed() const {
    return m_wakeUp.isActive();
}

}  // namespace norak
