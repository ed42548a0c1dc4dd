#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace norak {

// Raises the threads that must be on time above the rest of a busy machine.
//
// A coach's laptop runs other programs, often from the same desktop session and so in the same
// scheduling group as this one. A higher nice level does not help then: it orders the threads
// within the program's group, but the group as a whole still waits its turn behind the other
// groups, and the thread that decides the signals waits milliseconds for a processor (measured:
// p50 5 ms, p99 14 ms with nice -15 while other groups kept the machine busy). A real-time class
// is not subject to the groups. So two threads get one, at modest priorities:
// - the audio thread, which blocks on the sound server for every block it writes;
// - the pacing thread (the GUI thread, which runs the signal wake-ups): it sleeps between events,
//   but it also draws and may compute for a while. The soft limit on the CPU time a real-time
//   thread may take without blocking (100 ms) is its safety valve: when it is reached, every
//   raised thread is put back to a nice level for the rest of the run, long before the desktop
//   suffers and before the hard limit (200 ms, or RealtimeKit's maximum) would end the process.
// The process first tries with its own rights (sched_setattr, which works for root or with a
// real-time limit), then asks RealtimeKit on the system bus, the desktop's broker for this. A
// thread that cannot have a real-time class takes a higher nice level when it may. A refusal, an
// absent service or no bus at all leave the thread as it was, silently: the program then runs as
// at normal priority. The limits stay lowered; they concern real-time threads only.
//
// Nothing is raised until the program opts in with enable(): library code asks for its thread
// where it begins to need it (the sound output as its thread starts, the pacing timer as it arms
// its first wake-up, so that building the windows at start-up runs at normal priority), and
// tests and tools that do not opt in keep normal priorities and never talk to the system bus.
class ThreadPriority {
  public:
    enum class Role { Pacing, Audio };
    enum class Path { None, Direct, RealtimeKit };

    // What was granted to a thread.
    struct Grant {
        Path path = Path::None;
        bool realtime = false;
        int level = 0;  // the real-time priority, or the nice level
    };

    struct Settings {
        // Try the process's own rights before asking RealtimeKit.
        bool direct = true;
        // Ask RealtimeKit when the own rights do not suffice.
        bool realtimeKit = true;
        // The bus on which RealtimeKit is found; empty: the system bus.
        QString busAddress;
        int callTimeoutMs = 1000;
    };

    // The audio thread above the pacing thread: a late block is heard as a cut tone.
    static constexpr int kAudioRealtimePriority = 5;
    static constexpr int kPacingRealtimePriority = 3;
    static constexpr int kPacingNice = -15;  // without a real-time class
    // The CPU time a real-time thread may take without blocking: at the soft limit the raised
    // threads are put back to a nice level; the hard limit (the lower of this and RealtimeKit's
    // maximum) would end the process.
    static constexpr qint64 kRealtimeSoftLimitUs = 100000;
    static constexpr qint64 kRealtimeHardLimitUs = 200000;

    // Opts the process in.
    static void enable(const Settings& settings);
    static void enable();
    static bool isEnabled();
    // Raises the calling thread for its role when the process opted in; does nothing otherwise.
    static Grant raiseCurrentThread(Role role);
    // The same, but only the first time on each thread, and again after the safety valve put
    // the raised threads back: cheap enough to call on every use.
    static Grant raiseCurrentThreadOnce(Role role);
    // Raises the threads of this process that a library started under this name (those not
    // raised yet), when the process opted in; gives how many were raised.
    static int raiseThreadsNamed(const QByteArray& name, Role role);
    // How often the safety valve put the raised threads back (for diagnostics).
    static int demotions();
    // Raises the calling thread with the given settings, whether or not the process opted in.
    static Grant raiseCurrentThread(Role role, const Settings& settings);

    // The last grant to a thread of this role through raiseCurrentThread() (for diagnostics).
    static Grant lastGrant(Role role);
    // "normal", "direct nice:-15", "rtkit rr:5" ...
    static QString describe(const Grant& grant);
};

}  // namespace norak
