#include "platform/qt/PreciseWakeUp.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstdint>
#include <limits>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace norak {

namespace {
constexpr qint64 kNsPerMs = 1'000'000;
constexpr qint64 kNsPerSecond = 1'000'000'000;
}  // namespace

PreciseWakeUp::PreciseWakeUp(QObject* parent) : QObject(parent) {
    m_fallback.setTimerType(Qt::PreciseTimer);
    m_fallback.setSingleShot(true);
    connect(&m_fallback, &QTimer::timeout, this, [this] {
        m_active = false;
        Q_EMIT fired();
    });
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &PreciseWakeUp::descriptorReady);
    }
#endif
}

PreciseWakeUp::~PreciseWakeUp() {
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        delete m_notifier;
        ::close(m_fd);
    }
#endif
}

void PreciseWakeUp::start(qint64 delayNs) {
    m_active = true;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        // A zero time would disarm the descriptor: the shortest wait is one nanosecond.
        const qint64 ns = std::max<qint64>(delayNs, 1);
        itimerspec setting{};
        setting.it_value.tv_sec = time_t(ns / kNsPerSecond);
        setting.it_value.tv_nsec = long(ns % kNsPerSecond);
        if (timerfd_settime(m_fd, 0, &setting, nullptr) == 0)
            return;
    }
#endif
    const qint64 ms = (std::max<qint64>(delayNs, 0) + kNsPerMs - 1) / kNsPerMs;
    m_fallback.start(int(std::min<qint64>(ms, std::numeric_limits<int>::max())));
}

void PreciseWakeUp::stop() {
    m_active = false;
    m_fallback.stop();
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec disarm{};
        timerfd_settime(m_fd, 0, &disarm, nullptr);
        // An expiry not yet handled is cleared too.
        std::uint64_t expirations = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
    }
#endif
}

void PreciseWakeUp::descriptorReady() {
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) != ssize_t(sizeof expirations))
        return;  // already cleared by stop() or a restart
    if (!m_active)
        return;
    m_active = false;
    Q_EMIT fired();
#endif
}

}  // namespace norak
