// Pacing benchmark: how close to its due moment the test window decides each signal.
//
// The rule: a signal falls on the first tick at which more than the run time has passed since
// the interval began, and each interval begins at the tick (millisecond of the tick counter)
// that gave the previous signal. With the interval begun at tick L and run time R, the signal
// is due at the moment the tick counter first reads L + R + 1; that moment is the due moment
// here, and lateness = the moment the window decided the signal (its call to play the signal
// sound) − the due moment. It is never negative; what the window can win is how soon after the
// due moment it looks.
//
// What runs: a real TForm1 (main window, shown; offscreen when there is no display) on the Qt
// platform's real timers, tick counter, clock, messages and files. Its sound is a recorder
// that notes the exact moment (nanoseconds) of each signal decision and, with --play, also
// plays it on the real sound output (QtSound). The active period table gets short run times
// (300-500 ms by default, different in every period) through the parameters panel, the mode
// "Test de esfuerzo" is chosen, the warm-up unchecked, and the test is started: periods of
// SignalsPerPeriod signals alternate with 30 s recoveries, as in a real test. The test is
// stopped after the last signal of the last period (default 9 periods: 324 signals and 8
// recovery ends, about 6 minutes).
//
// Side by side, in its own thread of the same process, a plain 10 ms QTimer poller decides the
// same due moments by the same rule (first poll at which the tick counter reads the due tick
// or later), which is what a scheduler without a wake-up for the due moment would achieve.
//
// CPU: getrusage of the window's thread (everything the window does: scheduler, its timers,
// drawing) from Start to Stop, given as seconds per minute of test and as a percentage of one
// core; the poller's thread and the whole process are printed too, and how long the window's
// thread waited for a processor while it was runnable (/proc/thread-self/schedstat): when that
// is large the machine, not the window, made the decisions late, and the poller suffers alike.
//
// The last line is the summary:
//   pacing lateness_ms p50=X p99=X max=X poller_p99=X poller_max=X cpu_pct=X over2=N over5=N
//          load="loadavg" window="priority" audio="priority"
// p50/p99/max over every timed signal sound (the signals and the departures at the recoveries'
// ends), poller_p99/max the same for the poller, cpu_pct the window thread's share of one core,
// over2/over5 how many signal sounds came more than 2 / 5 ms late, load the load average at the
// end, window the way its thread was raised and its scheduling at Stop ("direct rr:3", "rtkit
// nice:-15", "normal nice:0"), audio the audio thread's grant ("direct rr:5", "rtkit rr:5",
// "normal"), valve how often the raised threads were put back for running too long. The
// first alert request of each recovery (due as the second that begins 3 s before its end
// begins) is timed too and printed on its own line.
//
//   pacing [--periods N] [--min-run MS] [--max-run MS] [--play] [--voice] [--wav FILE] [--log FILE]
//          [--settle-ms MS] [--normal-priority] [--history FILE] [--phones N]
//
// The window's thread (and the poller's) and the audio thread are raised as the program raises
// them (platform/qt/ThreadPriority); --normal-priority leaves them as they are, for comparison.
// --play: also plays every signal on the real sound output (the program's QtSound, with the
//   built-in sound or --wav FILE); --log FILE writes one line per signal sound,
//   "decision <decision µs> <due tick>", for bench/pacing_audio.sh, which records the output and
//   compares onset-to-onset intervals with these decision intervals. The log also has
//   "alert <decision µs>" for the first alert request of each recovery, and with --voice
//   "clip <planned µs> <name> <length ms> <asked µs>" for each word placed and "cancel <µs>"
//   for each time the words were called off.
// --voice: ticks "Voz", so that the recoveries are spoken as the window speaks them. The window's
//   configuration folder is a temporary one in every run, so that the user's own "Voz" choice is
//   neither read nor changed: without --voice nothing is said.
// --history FILE: the window keeps its history in FILE (as the program does) with every row named,
//   so that Stop hands a whole test to the history's writer; printed: how long Stop took on the
//   window's thread and when the test was stored.
// --phones N: turns " Mando" on (the remote, bound to 127.0.0.1 alone) with every row named, and
//   connects N phones (1-4) from a thread of their own before Start: each reads every state the
//   window pushes and presses every 1-3 s (warnings, undos, one dropout each at most). Printed:
//   their presses, the laptop's answers, how long each answer took, and the phones' own CPU.
// To measure on a busy machine: bench/pacing_loaded.sh (busy loops in sessions of their own or
// in the bench's, or a build of this project, for the duration of the run).
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "history/HistoryWriter.h"
#include "platform/qt/QtDesktopShell.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtLocalClock.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtSaveDialog.h"
#include "platform/qt/QtSound.h"
#include "platform/qt/QtTickSource.h"
#include "platform/qt/ThreadPriority.h"
#include "remote/PhoneMessage.h"
#include "remote/RemoteServer.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "shell/ConfigPanel.h"
#include "shell/ParametersPanel.h"
#include "shell/RemoteWindow.h"
#include "shell/RunAssembly.h"
#include "shell/TestFut1.h"
#include "voice/VoiceClips.h"

using namespace norak;

namespace {

struct Options {
    int periods = 9;
    int minRunMs = 300;
    int maxRunMs = 500;
    bool play = false;
    bool voice = false;
    QString wav;
    QString log;
    int settleMs = 500;
    bool raise = true;
    bool canaries = false;
    QString history;
    int phones = 0;
};

Options parse(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("How close to its due moment the test window decides each signal."));
    parser.addHelpOption();
    const QCommandLineOption periods(QStringLiteral("periods"), QStringLiteral("Periods to run (9)."),
                                     QStringLiteral("N"), QStringLiteral("9"));
    const QCommandLineOption minRun(QStringLiteral("min-run"), QStringLiteral("Shortest run time (300 ms)."),
                                    QStringLiteral("MS"), QStringLiteral("300"));
    const QCommandLineOption maxRun(QStringLiteral("max-run"), QStringLiteral("Longest run time (500 ms)."),
                                    QStringLiteral("MS"), QStringLiteral("500"));
    const QCommandLineOption play(QStringLiteral("play"),
                                  QStringLiteral("Also play every signal on the sound output."));
    const QCommandLineOption voice(QStringLiteral("voice"),
                                   QStringLiteral("Tick \"Voz\": the recoveries are spoken."));
    const QCommandLineOption wav(QStringLiteral("wav"),
                                 QStringLiteral("Signal sound when the built-in one is missing."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("One line per signal sound decided."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption settle(QStringLiteral("settle-ms"),
                                    QStringLiteral("Wait before Start (500 ms; 6000 ms with --play)."),
                                    QStringLiteral("MS"));
    const QCommandLineOption normal(
        QStringLiteral("normal-priority"),
        QStringLiteral("Leave the window's and the audio thread's priorities as they are."));
    const QCommandLineOption canaries(
        QStringLiteral("canaries"),
        QStringLiteral("Watch every processor for stalls of the machine itself (a 1 ms sleeper on each)."));
    const QCommandLineOption history(
        QStringLiteral("history"),
        QStringLiteral("Keep the history in FILE, with every row named: the test is stored at its Stop."),
        QStringLiteral("FILE"));
    const QCommandLineOption phones(
        QStringLiteral("phones"),
        QStringLiteral(
            "Turn the remote on (127.0.0.1) with N phones pressing, in a thread of their own (1-4)."),
        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOptions(
        {periods, minRun, maxRun, play, voice, wav, log, settle, normal, canaries, history, phones});
    parser.process(app);

    Options o;
    o.periods = std::max(1, parser.value(periods).toInt());
    o.minRunMs = std::max(1, parser.value(minRun).toInt());
    o.maxRunMs = std::max(o.minRunMs, parser.value(maxRun).toInt());
    o.play = parser.isSet(play);
    o.voice = parser.isSet(voice);
    o.wav = parser.value(wav);
    o.log = parser.value(log);
    o.raise = !parser.isSet(normal);
    o.canaries = parser.isSet(canaries);
    o.history = parser.value(history);
    o.phones = std::clamp(parser.value(phones).toInt(), 0, RemoteServer::kMaxPhones);
    // The program opens its sound output as it starts; its first test interval can end no
    // sooner than about 6 s later (front window 2 s, mode and Start, then period 1's run time).
    // By then the output's placement clock moves only in small steps; measure from there too.
    o.settleMs = parser.isSet(settle) ? parser.value(settle).toInt() : o.play ? 6000 : 500;
    return o;
}

// Run time of period p (from 1): spread over [min, max], a different value in every period.
int runTimeOf(int period, const Options& o) {
    const int span = o.maxRunMs - o.minRunMs + 1;
    return o.minRunMs + (period * 137 + 61) % span;
}

// CPU seconds (user + system) of the calling thread, or of the whole process.
double cpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Where the tick counter's millisecond 0 began on the bench clock, found by reading both
// clocks across a few tick changes: each reading of tick v between bench times a and b bounds
// the origin to (a − (v + 1) ms, b − v ms].
struct TickOrigin {
    qint64 ns = 0;
    qint64 uncertaintyNs = 0;
};

TickOrigin findTickOrigin(const TickSource& ticks, const QElapsedTimer& bench) {
    qint64 low = std::numeric_limits<qint64>::min();
    qint64 high = std::numeric_limits<qint64>::max();
    // Until the origin is known to a microsecond (a busy machine can interrupt the readings).
    const qint64 until = bench.nsecsElapsed() + 500'000'000;
    while (bench.nsecsElapsed() < until &&
           (high == std::numeric_limits<qint64>::max() || high - low > 2'000)) {
        const qint64 a = bench.nsecsElapsed();
        const qint64 v = ticks.ticks();
        const qint64 b = bench.nsecsElapsed();
        low = std::max(low, a - (v + 1) * 1'000'000);
        high = std::min(high, b - v * 1'000'000);
    }
    return {(low + high) / 2, (high - low + 1) / 2};
}

// Nanoseconds the calling thread has spent waiting for a processor while runnable (0 when the
// kernel does not keep scheduler statistics): a late decision on a machine too busy to run the
// window shows here.
qint64 runQueueWaitNs() {
    QFile f(QStringLiteral("/proc/thread-self/schedstat"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().simplified().split(' ');
    return fields.size() >= 2 ? fields[1].toLongLong() : 0;
}

// What the window's thread has been through, to tell why a decision came late: its CPU time, how
// often it gave up the processor (a wait in the event loop or in a call) or was put off it, and
// its page faults.
struct ThreadCounters {
    qint64 wallNs = 0, cpuNs = 0;
    long voluntary = 0, involuntary = 0, minorFaults = 0, majorFaults = 0;

    ThreadCounters operator-(const ThreadCounters& o) const {
        return {wallNs - o.wallNs,           cpuNs - o.cpuNs,
                voluntary - o.voluntary,     involuntary - o.involuntary,
                minorFaults - o.minorFaults, majorFaults - o.majorFaults};
    }
};

ThreadCounters threadCounters(const QElapsedTimer& bench) {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return {bench.nsecsElapsed(), qint64(cpu.tv_sec) * 1'000'000'000 + cpu.tv_nsec,
            u.ru_nvcsw,           u.ru_nivcsw,
            u.ru_minflt,          u.ru_majflt};
}

// The calling thread's scheduling as it is now: "rr:3", "nice:-15", "nice:0".
QString currentThreadPriority() {
    sched_param param{};
    const int policy = sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
    if ((policy == SCHED_RR || policy == SCHED_FIFO) && sched_getparam(0, &param) == 0)
        return QStringLiteral("%1:%2")
            .arg(policy == SCHED_RR ? QStringLiteral("rr") : QStringLiteral("fifo"))
            .arg(param.sched_priority);
    return QStringLiteral("nice:%1").arg(getpriority(PRIO_PROCESS, id_t(gettid())));
}

struct Stats {
    std::size_t n = 0;
    double mean = 0, p50 = 0, p99 = 0, max = 0;
    std::size_t over2 = 0, over5 = 0;  // how many were more than 2 ms, 5 ms late
};

// Nearest-rank percentiles of lateness values in nanoseconds, given in milliseconds.
Stats statsOf(std::vector<qint64> ns) {
    Stats s;
    s.n = ns.size();
    if (ns.empty())
        return s;
    std::sort(ns.begin(), ns.end());
    const auto rank = [&](double p) {
        const std::size_t r = std::size_t(std::ceil(p * double(ns.size())));
        return double(ns[std::clamp<std::size_t>(r, 1, ns.size()) - 1]) / 1e6;
    };
    double sum = 0;
    for (qint64 v : ns)
        sum += double(v);
    s.mean = sum / double(ns.size()) / 1e6;
    s.p50 = rank(0.50);
    s.p99 = rank(0.99);
    s.max = double(ns.back()) / 1e6;
    s.over2 = std::size_t(std::count_if(ns.begin(), ns.end(), [](qint64 v) { return v > 2'000'000; }));
    s.over5 = std::size_t(std::count_if(ns.begin(), ns.end(), [](qint64 v) { return v > 5'000'000; }));
    return s;
}

void printStats(const char* what, const Stats& s) {
    std::printf("%-30s n=%-4zu lateness ms: mean=%.3f p50=%.3f p99=%.3f max=%.3f (>2 ms: %zu, >5 ms: %zu)\n",
                what, s.n, s.mean, s.p50, s.p99, s.max, s.over2, s.over5);
}

// The window's sound: notes the moment of each signal decision, and plays it when asked to.
class DecisionRecorder : public Sound {
  public:
    explicit DecisionRecorder(Sound* output) : m_output(output) {}
    std::function<void()> onSignal;
    std::function<void()> onAlert;
    std::function<void(const QString&, qint64)> onClip;
    std::function<void()> onCancel;

    int outputDeviceCount() override { return m_output ? m_output->outputDeviceCount() : 1; }
    void playSignal() override {
        if (onSignal)
            onSignal();
        if (m_output)
            m_output->playSignal();
    }
    void alert(int code) override {
        if (onAlert)
            onAlert();
        if (m_output)
            m_output->alert(code);
    }
    void playClip(const QString& clip, qint64 delayMs) override {
        if (onClip)
            onClip(clip, delayMs);
        if (m_output)
            m_output->playClip(clip, delayMs);
    }
    void cancelClips() override {
        if (onCancel)
            onCancel();
        if (m_output)
            m_output->cancelClips();
    }

  private:
    Sound* m_output;
};

// What is decided: the departure at Start, a signal, the first alert request of a recovery
// (the alert second 3 s before its end), the departure that ends a recovery.
enum Kind { kDeparture, kSignal, kAlert, kRecoveryEnd, kKinds };
using Lateness = std::array<std::vector<qint64>, kKinds>;  // ns, by kind

struct Decision {
    qint64 ns;                      // bench clock
    std::optional<qint64> dueTick;  // none for the departure at Start (the operator's click)
    Kind kind;
    ThreadCounters sinceWait{};  // from the thread's last entry into its event wait
    qint64 runQueueWaitNs = 0;   // waited for a processor since the previous decision
};

// The plain poller: a 10 ms QTimer in its own thread deciding the due moments it is given.
class Poller {
  public:
    Poller(const TickSource& ticks, const QElapsedTimer& bench, qint64 originNs)
        : m_ticks(ticks), m_bench(bench), m_originNs(originNs) {
        m_timer = new QTimer;
        m_timer->setInterval(10);
        m_timer->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::started, m_timer, [this] {
            // At the window's priority, so that the comparison is of the two ways of deciding.
            ThreadPriority::raiseCurrentThreadOnce(ThreadPriority::Role::Pacing);
            m_cpuAtStart = cpuSeconds(RUSAGE_THREAD);
            m_timer->start();
        });
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] { poll(); });
        m_thread.start();
    }

    ~Poller() {
        stopPolling();
        m_thread.quit();
        m_thread.wait();
        delete m_timer;
    }

    void expect(qint64 dueTick, Kind kind) {
        std::lock_guard lock(m_mutex);
        if (m_known.insert(dueTick).second)
            m_pending.push_back({dueTick, kind});
    }

    // Stops polling; gives the lateness of its decisions and its CPU seconds.
    void finish(Lateness& late, double& cpu) {
        stopPolling();
        std::lock_guard lock(m_mutex);
        late = m_late;
        cpu = m_cpu;
    }

  private:
    struct Pending {
        qint64 dueTick;
        Kind kind;
    };

    void stopPolling() {
        QMetaObject::invokeMethod(
            m_timer,
            [this] {
                if (!m_timer->isActive())
                    return;
                m_timer->stop();
                m_cpu = cpuSeconds(RUSAGE_THREAD) - m_cpuAtStart;
            },
            Qt::BlockingQueuedConnection);
    }

    void poll() {
        const qint64 now = m_bench.nsecsElapsed();
        const qint64 tick = m_ticks.ticks();
        std::lock_guard lock(m_mutex);
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (tick >= it->dueTick) {
                const qint64 late = now - (m_originNs + it->dueTick * 1'000'000);
                m_late[it->kind].push_back(late);
                it = m_pending.erase(it);
            } else {
                ++it;
            }
        }
    }

    const TickSource& m_ticks;
    const QElapsedTimer& m_bench;
    const qint64 m_originNs;
    QThread m_thread;
    QTimer* m_timer = nullptr;
    double m_cpuAtStart = 0;
    double m_cpu = 0;
    std::mutex m_mutex;
    std::set<qint64> m_known;
    std::vector<Pending> m_pending;
    Lateness m_late;
};

// A canary on each processor: a thread pinned to it, at a real-time class when allowed, that
// sleeps 1 ms at a time and notes every wake-up more than 1 ms late. When the machine itself
// holds a processor (the hypervisor of a virtual machine, a stall in the kernel), the canary on
// that processor sees a gap at the moment of a late decision; the window's own work, or a wait
// inside one of its calls, leaves the canaries alone.
class Canaries {
  public:
    struct Gap {
        int cpu;
        qint64 fromNs, toNs;  // bench clock
    };

    explicit Canaries(const QElapsedTimer& bench) {
        timespec mono{};
        clock_gettime(CLOCK_MONOTONIC, &mono);
        m_benchOriginNs = nsOf(mono) - bench.nsecsElapsed();
        const int cpus = int(std::thread::hardware_concurrency());
        for (int cpu = 0; cpu < cpus; ++cpu)
            m_threads.emplace_back([this, cpu] { watch(cpu); });
    }

    ~Canaries() {
        m_stop = true;
        for (std::thread& t : m_threads)
            t.join();
    }

    std::vector<Gap> gaps() const {
        std::lock_guard lock(m_mutex);
        return m_gaps;
    }

    bool realTime() const { return m_realTime; }

  private:
    static qint64 nsOf(const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

    void watch(int cpu) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        pthread_setaffinity_np(pthread_self(), sizeof set, &set);
        sched_param param{};
        param.sched_priority = 10;  // above the window's and the audio thread's
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0)
            m_realTime = false;
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        while (!m_stop) {
            qint64 due = nsOf(next) + 1'000'000;
            next = {time_t(due / 1'000'000'000), long(due % 1'000'000'000)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            if (nsOf(now) - due > 1'000'000) {
                std::lock_guard lock(m_mutex);
                m_gaps.push_back({cpu, due - m_benchOriginNs, nsOf(now) - m_benchOriginNs});
                next = now;  // no burst of catching up
            }
        }
    }

    qint64 m_benchOriginNs = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_realTime{true};
    mutable std::mutex m_mutex;
    std::vector<Gap> m_gaps;
    std::vector<std::thread> m_threads;
};

// Phones pressing as second scorers would, in a thread of their own (a phone is another device:
// its work is not the window's). Each phone opens the remote's WebSocket on 127.0.0.1, reads
// every state the laptop pushes, and every 1-3 s (a different, repeatable sequence per phone)
// presses for one of its own cones (phone k looks after cones k, k + N, ...) that is running:
// mostly "Aviso" for the leg it shows, now and then "Deshacer", and at most once "Abandono".
// Presses wait for a running test; the ones the laptop refuses (a player put out meanwhile,
// nothing to undo) are counted apart.
class PhoneCrowd {
  public:
    struct Figures {
        int connected = 0;
        int states = 0;  // state pushes received, all phones
        int sent = 0, done = 0, refused = 0, unanswered = 0;
        int warnings = 0, undos = 0, dropouts = 0;  // sent
        std::vector<qint64> answerNs;               // send to answer, each answered press
        std::map<QString, int> refusals;            // by the laptop's reason
        double cpuSeconds = 0;
    };

    PhoneCrowd(int count, const QUrl& page) {
        m_home = new QObject;
        m_home->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(m_home, [this, count, page] { open(count, page); });
    }

    ~PhoneCrowd() {
        finish();
        m_thread.quit();
        m_thread.wait();
        delete m_home;
    }

    int connected() const { return m_connected.load(); }

    // Closes every phone; the figures since they opened.
    Figures finish() {
        QMetaObject::invokeMethod(
            m_home,
            [this] {
                if (m_closed)
                    return;
                m_closed = true;
                m_figures.cpuSeconds = cpuSeconds(RUSAGE_THREAD) - m_cpuAtStart;
                m_figures.connected = m_connected.load();
                for (auto& phone : m_phones) {
                    phone->timer.stop();
                    m_figures.unanswered += int(phone->pending.size());
                    phone->socket.close();
                }
                m_phones.clear();  // in the thread they live in
            },
            Qt::BlockingQueuedConnection);
        return m_figures;
    }

  private:
    struct Phone {
        explicit Phone(const QString& origin, quint32 seed) : socket(origin), random(seed) {}
        int index = 0;  // 0 ... count - 1
        QWebSocket socket;
        QTimer timer;
        QRandomGenerator random;
        QJsonObject state;
        QHash<QString, qint64> pending;  // request id: sent at (bench clock of this thread)
        int nextId = 0;
        bool droppedOne = false;
        bool counted = false;
    };

    void open(int count, const QUrl& page) {
        m_cpuAtStart = cpuSeconds(RUSAGE_THREAD);
        m_clock.start();
        const QString origin = QStringLiteral("http://%1:%2").arg(page.host()).arg(page.port());
        QUrl ws = page;
        ws.setScheme(QStringLiteral("ws"));
        ws.setPath(QStringLiteral("/ws"));
        for (int i = 0; i < count; ++i) {
            auto phone = std::make_unique<Phone>(origin, quint32(1000 + i));
            Phone* p = phone.get();
            p->index = i;
            QObject::connect(&p->socket, &QWebSocket::textMessageReceived, m_home,
                             [this, p](const QString& text) { receive(*p, text); });
            QObject::connect(&p->socket, &QWebSocket::connected, m_home, [this, p] {
                if (!std::exchange(p->counted, true))
                    ++m_connected;
            });
            p->timer.setSingleShot(true);
            QObject::connect(&p->timer, &QTimer::timeout, m_home, [this, p, count] { press(*p, count); });
            p->timer.start(1000 + int(p->random.bounded(2001)));
            p->socket.open(ws);
            m_phones.push_back(std::move(phone));
        }
    }

    void receive(Phone& p, const QString& text) {
        const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
        const QString type = m.value(QStringLiteral("type")).toString();
        if (type == QLatin1String("state")) {
            p.state = m;
            ++m_figures.states;
        } else if (type == QLatin1String("answer")) {
            const QString id = m.value(QStringLiteral("id")).toString();
            const auto sent = p.pending.constFind(id);
            if (sent == p.pending.cend())
                return;
            m_figures.answerNs.push_back(m_clock.nsecsElapsed() - *sent);
            p.pending.erase(sent);
            if (m.value(QStringLiteral("result")).toString() == QLatin1String("done")) {
                ++m_figures.done;
            } else {
                ++m_figures.refused;
                ++m_figures.refusals[m.value(QStringLiteral("reason")).toString()];
            }
        }
    }

    void press(Phone& p, int count) {
        p.timer.start(1000 + int(p.random.bounded(2001)));
        if (!p.state.value(QStringLiteral("running")).toBool() ||
            p.state.value(QStringLiteral("warmUp")).toBool())
            return;
        // The phone's own cones whose players run.
        std::vector<int> running;
        for (const QJsonValue& a : p.state.value(QStringLiteral("athletes")).toArray()) {
            const QJsonObject athlete = a.toObject();
            const int cone = athlete.value(QStringLiteral("cone")).toInt();
            const QString state = athlete.value(QStringLiteral("state")).toString();
            if ((cone - 1) % count == p.index &&
                (state == QLatin1String("running") || state == QLatin1String("warned")))
                running.push_back(cone);
        }
        PhoneCommand c;
        c.id = QStringLiteral("p%1n%2").arg(p.index + 1).arg(++p.nextId);
        c.epoch = qint64(p.state.value(QStringLiteral("epoch")).toDouble());
        c.leg = p.state.value(QStringLiteral("leg")).toInt();
        const quint32 roll = p.random.bounded(100u);
        if (roll < 15) {
            c.type = PhoneCommand::Type::Undo;
            c.leg = 0;
            ++m_figures.undos;
        } else {
            if (running.empty() || c.leg < 1)
                return;
            c.athlete = running[p.random.bounded(quint32(running.size()))];
            if (roll < 18 && !p.droppedOne) {
                c.type = PhoneCommand::Type::Dropout;
                p.droppedOne = true;
                ++m_figures.dropouts;
            } else {
                c.type = PhoneCommand::Type::Warning;
                ++m_figures.warnings;
            }
        }
        p.pending.insert(c.id, m_clock.nsecsElapsed());
        ++m_figures.sent;
        p.socket.sendTextMessage(QString::fromUtf8(PhoneMessage::encode(c)));
    }

    QThread m_thread;
    QObject* m_home = nullptr;
    std::vector<std::unique_ptr<Phone>> m_phones;
    QElapsedTimer m_clock;
    std::atomic<int> m_connected{0};
    Figures m_figures;
    double m_cpuAtStart = 0;
    bool m_closed = false;
};

}  // namespace

int main(int argc, char** argv) {
    // The window's remembered choices (the "Voz" box) come from a folder of this run's own: the
    // bench speaks only when asked to (--voice) and never changes the user's choice.
    const QTemporaryDir configHome;
    if (configHome.isValid())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const Options options = parse(app);
    // As the program does: the window's thread is raised as it arms its first wake-up, the
    // audio thread as it starts.
    if (options.raise)
        ThreadPriority::enable();
    // The phones are on this machine: the remote offers and listens on 127.0.0.1 alone.
    if (options.phones > 0)
        qputenv("NORAK_REMOTE_BIND", "127.0.0.1");

    // The Qt platform's parts; the sound output only when the signals are to be heard, so that
    // a silent run measures the window alone.
    QtTickSource ticks;
    QtLocalClock clock;
    QtMessages messages;
    QtSaveDialog saveDialog;
    QtFileSystem files;
    QtDesktopShell shell;
    std::unique_ptr<QtSound> output;
    if (options.play) {
        const QString builtIn = QString::fromLatin1(QtSound::kSignalResource);
        const bool useBuiltIn = QFile::exists(builtIn) || options.wav.isEmpty();
        output = std::make_unique<QtSound>(useBuiltIn ? builtIn : options.wav);
        if (!output->hasSignalSound() || output->outputDeviceCount() == 0) {
            std::fprintf(stderr, "pacing: no sound output or no signal sound to play\n");
            return 2;
        }
    }
    DecisionRecorder recorder(output.get());
    Platform platform{ticks, clock, recorder, messages, saveDialog, files, shell};

    QElapsedTimer bench;
    bench.start();
    const TickOrigin origin = findTickOrigin(ticks, bench);
    const auto dueNs = [&](qint64 dueTick) { return origin.ns + dueTick * 1'000'000; };
    std::optional<Canaries> canaries;
    if (options.canaries)
        canaries.emplace(bench);

    TForm1 form(kBuildEdition, platform);
    // With a history, every row named: the Stop hands a whole table to the history's writer.
    qint64 stopClickNs = -1, storedAfterStopNs = -1;
    QString storeOutcome;
    const TestSession& session = form.session();
    const int signalsPerPeriod = form.edition().signalsPerPeriod;
    const int target = options.periods * signalsPerPeriod;
    // In a recovery the window's next due moment is first its alert second, then its end.
    const int rest = form.edition().restDurationMs;
    const qint64 alertToEnd = rest + 1 - (rest - 3000) / 1000 * 1000;
    bool alertTaken = false;

    std::vector<Decision> decisions;
    decisions.reserve(std::size_t(target + options.periods + 2));
    // The words as the window placed them: where each is to start on the bench clock.
    struct Word {
        qint64 us;
        QString name;
        qint64 askedUs;
    };
    std::vector<Word> words;
    std::vector<qint64> cancels;
    recorder.onClip = [&](const QString& name, qint64 delayMs) {
        const qint64 now = bench.nsecsElapsed() / 1000;
        words.push_back({now + delayMs * 1000, name, now});
    };
    recorder.onCancel = [&] { cancels.push_back(bench.nsecsElapsed() / 1000); };
    int signalCount = 0;
    double cpuWindowStart = 0, cpuProcessStart = 0, cpuWindow = 0, cpuProcess = 0;
    qint64 waitWindowStart = 0, waitWindow = 0;
    qint64 startNs = 0, stopNs = 0;
    std::unique_ptr<Poller> poller;
    std::unique_ptr<PhoneCrowd> crowd;
    PhoneCrowd::Figures phoneFigures;
    // The history stores named rows only; the phones show named players only.
    if (!options.history.isEmpty() || options.phones > 0) {
        for (int row = 1; row <= form.testRun().table().dataRowCount(); ++row)
            form.testRun().table().setCell(kColName, row, QStringLiteral("Deportista %1").arg(row));
    }
    if (!options.history.isEmpty()) {
        form.keepHistory(options.history);
        QObject::connect(form.features().historyWriter(), &HistoryWriter::storeFinished, &form,
                         [&](const QString&, const StoreResult& result) {
                             storedAfterStopNs = bench.nsecsElapsed() - stopNs;
                             storeOutcome = result.ok() ? QStringLiteral("stored") : result.message;
                             QCoreApplication::exit(0);
                         });
    }

    // After each decision, once the window has finished with it, the poller learns the next due
    // moment (at a recovery's start: its alert second and its end).
    const auto tellPoller = [&] {
        const std::optional<qint64> due = session.nextDueTick();
        if (!poller || !due)
            return;
        if (session.isTimerOn(TestSession::Timer::Recovery)) {
            poller->expect(*due, kAlert);
            poller->expect(*due + alertToEnd, kRecoveryEnd);
        } else {
            poller->expect(*due, kSignal);
        }
    };

    QString windowPriorityAtStop;
    const auto stop = [&] {
        stopNs = bench.nsecsElapsed();
        windowPriorityAtStop = currentThreadPriority();
        cpuWindow = cpuSeconds(RUSAGE_THREAD) - cpuWindowStart;
        cpuProcess = cpuSeconds(RUSAGE_SELF) - cpuProcessStart;
        waitWindow = runQueueWaitNs() - waitWindowStart;
        if (crowd)
            phoneFigures = crowd->finish();
        const qint64 beforeStop = bench.nsecsElapsed();
        form.BitBtnStopClick();
        stopClickNs = bench.nsecsElapsed() - beforeStop;
        if (!options.history.isEmpty()) {
            // The writer's report ends the run; a history that never answers, this.
            QTimer::singleShot(10000, &form, [] { QCoreApplication::exit(0); });
            return;
        }
        // exit(), not quit(): quitting would first try to close the window, which asks the
        // operator's leave question. When playing, the last signal is still in the output's
        // buffer: let it sound before the output closes.
        QTimer::singleShot(options.play ? 1000 : 0, &form, [] { QCoreApplication::exit(0); });
    };

    // The window thread's counters each time it enters its event wait: a decision compares its
    // own with them to tell a late wake-up (the thread slept through the due moment) from the
    // window's own work (it was running since before the due moment) or a wait inside a call.
    ThreadCounters atWait = threadCounters(bench);
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &form,
                     [&] { atWait = threadCounters(bench); });
    qint64 runQueueAtDecision = runQueueWaitNs();
    const auto noteThread = [&](Decision& d) {
        d.sinceWait = threadCounters(bench) - atWait;
        const qint64 queued = runQueueWaitNs();
        d.runQueueWaitNs = queued - runQueueAtDecision;
        runQueueAtDecision = queued;
    };

    recorder.onSignal = [&] {
        const qint64 now = bench.nsecsElapsed();
        // Called before the window updates its run state: the due tick it reports is the one
        // this decision answers.
        Decision d{now, session.nextDueTick(), kSignal};
        noteThread(d);
        if (session.isTimerOn(TestSession::Timer::Recovery)) {
            d.kind = kRecoveryEnd;
        } else if (!session.isTimerOn(TestSession::Timer::Effort)) {
            d.kind = kDeparture;
            d.dueTick.reset();
        }
        decisions.push_back(d);
        alertTaken = false;
        if (d.kind == kSignal && ++signalCount >= target) {
            // A little later, so that the poller has decided this signal too.
            QTimer::singleShot(50, &form, stop);
            return;
        }
        QTimer::singleShot(0, &form, tellPoller);
    };

    // The alert is asked for on every look of its second; the first request is the decision.
    recorder.onAlert = [&] {
        const qint64 now = bench.nsecsElapsed();
        const std::optional<qint64> end = session.nextDueTick();
        if (alertTaken || !end || !session.isTimerOn(TestSession::Timer::Recovery))
            return;
        alertTaken = true;
        Decision d{now, *end - alertToEnd, kAlert};
        noteThread(d);
        decisions.push_back(d);
    };

    // Configure and start as the operator would, once the window is up.
    const auto start = [&] {
        QStringList table;
        for (int p = 1; p <= options.periods + 1; ++p)
            table << QString::number(runTimeOf(p, options));
        form.parametersPanel()->activeTableEdit()->setPlainText(table.join(QLatin1Char('\n')));
        form.configPanel()->modeButton(TestMode::Esfuerzo)->click();
        if (form.configPanel()->warmUpBox()->isChecked())
            form.configPanel()->warmUpBox()->click();
        if (form.configPanel()->voiceBox()->isChecked() != options.voice)
            form.configPanel()->voiceBox()->click();
        form.configPanel()->spinEdit()->setValue(1);
        form.BitBtnEmpezarClick();

        poller = std::make_unique<Poller>(ticks, bench, origin.ns);
        cpuWindowStart = cpuSeconds(RUSAGE_THREAD);
        cpuProcessStart = cpuSeconds(RUSAGE_SELF);
        waitWindowStart = runQueueWaitNs();
        startNs = bench.nsecsElapsed();
        form.BitBtnStartClick();
        tellPoller();
    };

    form.show();
    // The remote on, as " Mando" turns it on; the first phone is paired, the operator allows the
    // others. The test starts once all of them are in.
    std::function<void()> startWhenPhonesAreIn = start;
    if (options.phones > 0) {
        form.configPanel()->remoteBox()->click();
        RemoteWindow* remote = form.remoteWindow();
        if (!remote || !remote->isOn()) {
            std::fprintf(stderr, "pacing: the remote could not be turned on\n");
            return 2;
        }
        crowd = std::make_unique<PhoneCrowd>(options.phones, remote->server()->pageUrl());
        QElapsedTimer waited;
        waited.start();
        startWhenPhonesAreIn = [&, remote, waited] {
            int in = 0;
            for (const RemoteServer::Phone& p : remote->server()->phones()) {
                if (p.connected && !p.allowed)
                    remote->server()->allow(p.number);
                in += p.connected && p.allowed ? 1 : 0;
            }
            if (in >= options.phones) {
                start();
            } else if (waited.elapsed() > 10'000) {
                std::fprintf(stderr, "pacing: %d of %d phones came in\n", in, options.phones);
                QCoreApplication::exit(2);
            } else {
                QTimer::singleShot(20, &form, startWhenPhonesAreIn);
            }
        };
    }
    QTimer::singleShot(options.settleMs, &form, [&] { startWhenPhonesAreIn(); });
    // A guard against a run that never ends (no signals at all).
    qint64 expectedMs = options.settleMs + 60'000;
    for (int p = 1; p <= options.periods; ++p)
        expectedMs += qint64(runTimeOf(p, options) + 10) * signalsPerPeriod + 30'000;
    QTimer::singleShot(int(expectedMs), &form, [&] {
        std::fprintf(stderr, "pacing: the run did not end in time (%d of %d signals)\n", signalCount, target);
        stop();
    });
    app.exec();

    Lateness pollerLate;
    double cpuPoller = 0;
    if (poller) {
        poller->finish(pollerLate, cpuPoller);
        poller.reset();
    }

    Lateness windowLate;
    for (const Decision& d : decisions) {
        if (d.dueTick)
            windowLate[d.kind].push_back(d.ns - dueNs(*d.dueTick));
    }
    // The summary: the signal sounds, that is the signals and the departures ending recoveries.
    const auto soundsOf = [](const Lateness& late) {
        std::vector<qint64> all = late[kSignal];
        all.insert(all.end(), late[kRecoveryEnd].begin(), late[kRecoveryEnd].end());
        return all;
    };

    const double minutes = double(stopNs - startNs) / 60e9;
    char load[64] = "?";
    if (QFile f(QStringLiteral("/proc/loadavg")); f.open(QIODevice::ReadOnly))
        std::snprintf(load, sizeof load, "%s", f.readLine().trimmed().constData());
    std::printf(
        "edition %s, mode \"Test de esfuerzo\", %d periods, run times %d..%d ms, %s, voice %s (%zu words)\n",
        qPrintable(form.edition().editionTitle), options.periods, options.minRunMs, options.maxRunMs,
        options.play ? "signals played" : "signals silent", options.voice ? "on" : "off", words.size());
    std::printf("test ran %.1f s; tick counter origin known to +-%.1f us; load average %s; %d cores online\n",
                minutes * 60.0, double(origin.uncertaintyNs) / 1e3, load, QThread::idealThreadCount());
    printStats("window signals", statsOf(windowLate[kSignal]));
    printStats("window recovery ends", statsOf(windowLate[kRecoveryEnd]));
    printStats("window recovery alerts", statsOf(windowLate[kAlert]));
    printStats("10 ms poller signals", statsOf(pollerLate[kSignal]));
    printStats("10 ms poller recovery ends", statsOf(pollerLate[kRecoveryEnd]));
    printStats("10 ms poller recovery alerts", statsOf(pollerLate[kAlert]));
    const auto cpuLine = [&](const char* what, double seconds) {
        std::printf("%-30s cpu %.3f s per minute of test (%.3f%% of one core)\n", what,
                    minutes > 0 ? seconds / minutes : 0.0,
                    minutes > 0 ? seconds / (minutes * 60.0) * 100.0 : 0.0);
    };
    if (!options.history.isEmpty()) {
        std::printf("%-30s Stop took %.3f ms on the window thread; the test was %s %.1f ms after Stop\n",
                    "history", double(stopClickNs) / 1e6,
                    storeOutcome.isEmpty() ? "not stored" : qPrintable(storeOutcome),
                    double(storedAfterStopNs) / 1e6);
    }
    cpuLine("window thread", cpuWindow);
    cpuLine("10 ms poller thread", cpuPoller);
    cpuLine("whole process", cpuProcess);
    std::printf("%-30s waited %.3f s per minute of test for a processor while runnable\n", "window thread",
                minutes > 0 ? double(waitWindow) / 1e9 / minutes : 0.0);
    if (options.phones > 0) {
        const PhoneCrowd::Figures& f = phoneFigures;
        std::printf(
            "%-30s %d of %d connected; %d presses (%d warnings, %d undos, %d dropouts): %d done, %d "
            "refused, %d unanswered; %d states received\n",
            "phones", f.connected, options.phones, f.sent, f.warnings, f.undos, f.dropouts, f.done, f.refused,
            f.unanswered, f.states);
        for (const auto& [reason, count] : f.refusals)
            std::printf("%-30s %d refused: %s\n", "", count, qPrintable(reason));
        const Stats answer = statsOf(f.answerNs);
        std::printf("%-30s n=%-4zu ms: p50=%.3f p99=%.3f max=%.3f\n", "phones, press to answer", answer.n,
                    answer.p50, answer.p99, answer.max);
        cpuLine("phones' thread", f.cpuSeconds);
    }

    // The latest decisions, with what the window's thread did from its last wait until then.
    std::vector<const Decision*> latest;
    for (const Decision& d : decisions) {
        if (d.dueTick)
            latest.push_back(&d);
    }
    std::sort(latest.begin(), latest.end(), [&](const Decision* a, const Decision* b) {
        return a->ns - dueNs(*a->dueTick) > b->ns - dueNs(*b->dueTick);
    });
    latest.resize(std::min<std::size_t>(latest.size(), 5));
    static const char* const kindNames[kKinds] = {"departure", "signal", "alert", "recovery end"};
    const std::vector<Canaries::Gap> gaps = canaries ? canaries->gaps() : std::vector<Canaries::Gap>{};
    canaries.reset();
    if (options.canaries) {
        qint64 longest = 0;
        for (const Canaries::Gap& g : gaps)
            longest = std::max(longest, g.toNs - g.fromNs);
        std::printf("%-30s %zu stalls of a processor over 1 ms, longest %.3f ms\n", "canaries", gaps.size(),
                    double(longest) / 1e6);
    }
    for (const Decision* d : latest) {
        const ThreadCounters& w = d->sinceWait;
        const qint64 lateNs = d->ns - dueNs(*d->dueTick);
        std::printf(
            "late %-12s #%-4td %.3f ms: last wait began %.3f ms before the due moment, then %.3f ms CPU, "
            "%ld voluntary / %ld forced switches, %ld+%ld page faults; %.3f ms queued since the previous "
            "decision\n",
            kindNames[d->kind], d - decisions.data(), double(lateNs) / 1e6, double(w.wallNs - lateNs) / 1e6,
            double(w.cpuNs) / 1e6, w.voluntary, w.involuntary, w.minorFaults, w.majorFaults,
            double(d->runQueueWaitNs) / 1e6);
        for (const Canaries::Gap& g : gaps) {
            if (g.toNs > dueNs(*d->dueTick) && g.fromNs < d->ns)
                std::printf("  (processor %d stalled %.3f ms from %.3f ms after the due moment)\n", g.cpu,
                            double(g.toNs - g.fromNs) / 1e6, double(g.fromNs - dueNs(*d->dueTick)) / 1e6);
        }
    }

    if (!options.log.isEmpty()) {
        QFile file(options.log);
        if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            QTextStream out(&file);
            for (const Decision& d : decisions) {
                if (d.kind == kAlert) {
                    out << "alert " << d.ns / 1000 << '\n';
                    continue;
                }
                const qint64 tick = d.dueTick ? *d.dueTick : (d.ns - origin.ns) / 1'000'000;
                out << "decision " << d.ns / 1000 << ' ' << tick << '\n';
            }
            const ClipLengths lengths = VoiceClips::lengthsIn();
            for (const Word& w : words)
                out << "clip " << w.us << ' ' << w.name << ' ' << lengths.value(w.name) << ' ' << w.askedUs
                    << '\n';
            for (qint64 us : cancels)
                out << "cancel " << us << '\n';
        }
    }

    const Stats all = statsOf(soundsOf(windowLate));
    const Stats polled = statsOf(soundsOf(pollerLate));
    const ThreadPriority::Grant pacingGrant = ThreadPriority::lastGrant(ThreadPriority::Role::Pacing);
    const QString windowGrant =
        (pacingGrant.path == ThreadPriority::Path::None     ? QStringLiteral("normal")
         : pacingGrant.path == ThreadPriority::Path::Direct ? QStringLiteral("direct")
                                                            : QStringLiteral("rtkit")) +
        QLatin1Char(' ') + windowPriorityAtStop;
    const QString audioGrant =
        options.play ? ThreadPriority::describe(ThreadPriority::lastGrant(ThreadPriority::Role::Audio))
                     : QStringLiteral("-");
    std::printf(
        "pacing lateness_ms p50=%.3f p99=%.3f max=%.3f poller_p99=%.3f poller_max=%.3f cpu_pct=%.3f "
        "over2=%zu over5=%zu load=\"%s\" window=\"%s\" audio=\"%s\" valve=%d phones=%d\n",
        all.p50, all.p99, all.max, polled.p99, polled.max,
        minutes > 0 ? cpuWindow / (minutes * 60.0) * 100.0 : 0.0, all.over2, all.over5, load,
        qPrintable(windowGrant), qPrintable(audioGrant), ThreadPriority::demotions(), options.phones);
    return signalCount >= target ? 0 : 1;
}
