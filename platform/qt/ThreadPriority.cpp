#include "platform/qt/ThreadPriority.h"

#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAtomicInteger>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>

namespace norak {

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
const QString kInterface = QStringLiteral("org.freedesktop.RealtimeKit1");

// RealtimeKit's own defaults, for a service too old to tell its limits.
constexpr int kDefaultMaxRealtimePriority = 20;
constexpr int kDefaultMinNiceLevel = -15;
constexpr qint64 kDefaultRTTimeUSecMax = 200000;

std::atomic<bool> g_enabled{false};
QMutex g_settingsLock;
ThreadPriority::Settings g_settings;
ThreadPriority::Grant g_lastGrant[2];

// The kernel's scheduling attributes (its first version): Debian 12's C library has neither the
// structure nor a wrapper, and the kernel header's clashes with the C library's sched_param.
struct SchedAttributes {
    quint32 size = sizeof(SchedAttributes);
    quint32 policy = 0;
    quint64 flags = 0;
    qint32 nice = 0;
    quint32 priority = 0;
    quint64 runtime = 0, deadline = 0, period = 0;
};
static_assert(sizeof(SchedAttributes) == 48);
constexpr quint64 kResetOnForkFlag = 0x01;  // SCHED_FLAG_RESET_ON_FORK

bool setAttributes(pid_t thread, const SchedAttributes& attributes) {
    return syscall(SYS_sched_setattr, thread, &attributes, 0) == 0;
}

bool isRealtime(pid_t thread) {
    const int policy = sched_getscheduler(thread) & ~SCHED_RESET_ON_FORK;
    return policy == SCHED_FIFO || policy == SCHED_RR;
}

int currentNice(pid_t thread) {
    return getpriority(PRIO_PROCESS, id_t(thread));
}

// Children started from a raised thread (a file manager, a browser) start at normal priority.
bool setNiceDirectly(pid_t thread, int nice) {
    SchedAttributes a;
    a.policy = SCHED_OTHER;
    a.flags = kResetOnForkFlag;
    a.nice = nice;
    return setAttributes(thread, a);
}

bool setRealtimeDirectly(pid_t thread, int priority) {
    SchedAttributes a;
    a.policy = SCHED_RR;
    a.flags = kResetOnForkFlag;
    a.priority = quint32(priority);
    return setAttributes(thread, a);
}

// The safety valve. A raised thread that computes for long without blocking (the GUI thread
// laying out a large window) would starve the desktop; well before the kernel's hard limit ends
// the process, its soft limit signals, and every raised thread is put back to a nice level, for
// the rest of the run (the kernel has moved the soft limit beyond the hard one by then).
constexpr int kMaxRaised = 8;
std::atomic<pid_t> g_raised[kMaxRaised];
std::atomic<int> g_demotions{0};

void demoteRaisedThreads(int) {
    g_demotions.fetch_add(1);
    for (std::atomic<pid_t>& slot : g_raised) {
        const pid_t thread = slot.exchange(0);
        if (thread == 0)
            continue;
        SchedAttributes a;
        a.policy = SCHED_OTHER;
        a.flags = kResetOnForkFlag;
        a.nice = ThreadPriority::kPacingNice;
        if (syscall(SYS_sched_setattr, thread, &a, 0) != 0) {
            a.nice = 0;
            syscall(SYS_sched_setattr, thread, &a, 0);
        }
    }
}

void noteRaised(pid_t thread) {
    for (std::atomic<pid_t>& slot : g_raised) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, thread))
            return;
    }
}

// Limits the CPU time a real-time thread may take without blocking (RealtimeKit grants nothing
// to a process without a hard limit within its maximum) and arms the valve on the soft limit.
// False when the limit cannot be had: no real-time class is then asked for.
bool limitRealtimeTime(qint64 hardUs) {
    static std::once_flag valve;
    std::call_once(valve, [] {
        struct sigaction action {};
        action.sa_handler = demoteRaisedThreads;
        sigemptyset(&action.sa_mask);
        sigaction(SIGXCPU, &action, nullptr);
    });
    rlimit current{};
    if (getrlimit(RLIMIT_RTTIME, &current) != 0)
        return false;
    rlimit lowered = current;
    lowered.rlim_max = std::min(current.rlim_max, rlim_t(hardUs));
    lowered.rlim_cur = std::min(current.rlim_cur,
                                std::min(rlim_t(ThreadPriority::kRealtimeSoftLimitUs), lowered.rlim_max / 2));
    if (lowered.rlim_max == current.rlim_max && lowered.rlim_cur == current.rlim_cur)
        return true;
    return setrlimit(RLIMIT_RTTIME, &lowered) == 0;
}

class RealtimeKitClient {
  public:
    explicit RealtimeKitClient(const ThreadPriority::Settings& settings)
        : m_timeoutMs(settings.callTimeoutMs) {
        if (settings.busAddress.isEmpty()) {
            m_bus.emplace(QDBusConnection::systemBus());
        } else {
            static QAtomicInteger<int> serial;
            m_name = QStringLiteral("norak-priority-%1").arg(serial.fetchAndAddRelaxed(1));
            m_bus.emplace(QDBusConnection::connectToBus(settings.busAddress, m_name));
        }
    }
    ~RealtimeKitClient() {
        m_bus.reset();
        if (!m_name.isEmpty())
            QDBusConnection::disconnectFromBus(m_name);
    }
    RealtimeKitClient(const RealtimeKitClient&) = delete;
    RealtimeKitClient& operator=(const RealtimeKitClient&) = delete;

    bool isConnected() const { return m_bus->isConnected(); }

    qint64 property(const QString& name, qint64 fallback) {
        QDBusMessage get = QDBusMessage::createMethodCall(
            kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << kInterface << name;
        const QDBusMessage reply = m_bus->call(get, QDBus::Block, m_timeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return fallback;
        bool ok = false;
        const qint64 value = reply.arguments().constFirst().value<QDBusVariant>().variant().toLongLong(&ok);
        return ok ? value : fallback;
    }

    bool makeRealtime(quint64 thread, quint32 priority) {
        return ask(QStringLiteral("MakeThreadRealtime"),
                   {QVariant::fromValue(thread), QVariant::fromValue(priority)});
    }

    bool makeHighPriority(quint64 thread, qint32 nice) {
        return ask(QStringLiteral("MakeThreadHighPriority"),
                   {QVariant::fromValue(thread), QVariant::fromValue(nice)});
    }

  private:
    bool ask(const QString& method, const QList<QVariant>& arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
        call.setArguments(arguments);
        return m_bus->call(call, QDBus::Block, m_timeoutMs).type() == QDBusMessage::ReplyMessage;
    }

    std::optional<QDBusConnection> m_bus;
    QString m_name;
    int m_timeoutMs;
};

int realtimePriorityFor(ThreadPriority::Role role) {
    return role == ThreadPriority::Role::Audio ? ThreadPriority::kAudioRealtimePriority
                                               : ThreadPriority::kPacingRealtimePriority;
}

ThreadPriority::Grant raise(pid_t thread, ThreadPriority::Role role,
                            const ThreadPriority::Settings& settings) {
    using Grant = ThreadPriority::Grant;
    using Path = ThreadPriority::Path;
    if (isRealtime(thread))
        return {};
    const int wanted = realtimePriorityFor(role);
    if (settings.direct) {
        if (limitRealtimeTime(ThreadPriority::kRealtimeHardLimitUs) && setRealtimeDirectly(thread, wanted)) {
            noteRaised(thread);
            return {Path::Direct, true, wanted};
        }
        if (currentNice(thread) > ThreadPriority::kPacingNice &&
            setNiceDirectly(thread, ThreadPriority::kPacingNice))
            return {Path::Direct, false, ThreadPriority::kPacingNice};
    }
    if (!settings.realtimeKit)
        return {};
    RealtimeKitClient kit(settings);
    if (!kit.isConnected())
        return {};
    const qint64 maxPriority =
        kit.property(QStringLiteral("MaxRealtimePriority"), kDefaultMaxRealtimePriority);
    const int priority = int(std::min<qint64>(wanted, maxPriority));
    if (priority >= 1) {
        const qint64 maxTime = kit.property(QStringLiteral("RTTimeUSecMax"), kDefaultRTTimeUSecMax);
        if (limitRealtimeTime(std::min(ThreadPriority::kRealtimeHardLimitUs, maxTime)) &&
            kit.makeRealtime(quint64(thread), quint32(priority))) {
            noteRaised(thread);
            return Grant{Path::RealtimeKit, true, priority};
        }
    }
    // A service that will not give a real-time class may still give a nice level.
    const int nice = int(std::max<qint64>(
        ThreadPriority::kPacingNice, kit.property(QStringLiteral("MinNiceLevel"), kDefaultMinNiceLevel)));
    if (nice < currentNice(thread) && kit.makeHighPriority(quint64(thread), qint32(nice)))
        return Grant{Path::RealtimeKit, false, nice};
    return {};
}

}  // namespace

void ThreadPriority::enable(const Settings& settings) {
    {
        QMutexLocker lock(&g_settingsLock);
        g_settings = settings;
    }
    g_enabled.store(true);
}

void ThreadPriority::enable() {
    enable(Settings{});
}

ThreadPriority::Grant ThreadPriority::raiseCurrentThreadOnce(Role role) {
    if (!g_enabled.load())
        return {};
    thread_local int triedAfter = -1;
    const int demotions = g_demotions.load();
    if (triedAfter == demotions)
        return {};
    triedAfter = demotions;
    return raiseCurrentThread(role);
}

int ThreadPriority::raiseThreadsNamed(const QByteArray& name, Role role) {
    if (!g_enabled.load())
        return 0;
    Settings settings;
    {
        QMutexLocker lock(&g_settingsLock);
        settings = g_settings;
    }
    int raised = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& entry : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(entry + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name)
            continue;
        if (raise(pid_t(entry.toInt()), role, settings).path != Path::None)
            ++raised;
    }
    return raised;
}

int ThreadPriority::demotions() {
    return g_demotions.load();
}

bool ThreadPriority::isEnabled() {
    return g_enabled.load();
}

ThreadPriority::Grant ThreadPriority::raiseCurrentThread(Role role) {
    if (!g_enabled.load())
        return {};
    Settings settings;
    {
        QMutexLocker lock(&g_settingsLock);
        settings = g_settings;
    }
    return raiseCurrentThread(role, settings);
}

ThreadPriority::Grant ThreadPriority::raiseCurrentThread(Role role, const Settings& settings) {
    const Grant grant = raise(gettid(), role, settings);
    QMutexLocker lock(&g_settingsLock);
    g_lastGrant[role == Role::Audio] = grant;
    return grant;
}

ThreadPriority::Grant ThreadPriority::lastGrant(Role role) {
    QMutexLocker lock(&g_settingsLock);
    return g_lastGrant[role == Role::Audio];
}

QString ThreadPriority::describe(const Grant& grant) {
    if (grant.path == Path::None)
        return QStringLiteral("normal");
    const QString how = grant.path == Path::Direct ? QStringLiteral("direct") : QStringLiteral("rtkit");
    return grant.realtime ? QStringLiteral("%1 rr:%2").arg(how).arg(grant.level)
                          : QStringLiteral("%1 nice:%2").arg(how).arg(grant.level);
}

}  // namespace norak
