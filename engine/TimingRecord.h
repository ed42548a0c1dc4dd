#pragma once

#include <QDateTime>
#include <QtGlobal>
#include <vector>

namespace norak {

// What a run noted about its own timing, for the report and the signal log. Filled by
// TestSession as the test goes; it is only ever read afterwards and never feeds back into the
// pacing. Ticks are readings of the session's TickSource in milliseconds; the *Ns fields are the
// same moments to the nanosecond (TickSource::ticksNs), which gives the signal log its decimals.
struct TimingRecord {
    enum class SignalKind {
        Start,      // the departure signal of Start: given at once, never due
        Leg,        // a signal of an effort (or warm-up) period
        Departure,  // the signal that ends a recovery and begins the next period
    };
    enum class Phase { Effort, Recovery, WarmUp };

    struct Signal {
        SignalKind kind = SignalKind::Leg;
        // The first millisecond at which more than the run time (or the recovery's length) had
        // passed since the interval began; equal to givenTick for the Start signal.
        qint64 dueTick = 0;
        qint64 givenTick = 0;  // the tick that gave it
        qint64 givenNs = 0;
        unsigned period = 0;  // CurrentPeriod the signal belongs to
        int signal = 0;       // within the period: 0 the departure, then 1, 2, ...
        int station = 1;      // the cone the players must be passing
        Phase phase = Phase::Effort;

        qint64 latenessMs() const { return givenTick - dueTick; }
    };

    struct Recovery {
        qint64 startTick = 0;
        qint64 startNs = 0;
        qint64 endTick = -1;  // the tick of the departure signal that ended it; -1 if it never ended
        int nominalMs = 0;    // RestDurationMs or WarmUpRestDurationMs
        unsigned period = 0;  // the period whose effort it follows
        bool afterWarmUp = false;

        bool ended() const { return endTick >= 0; }
        qint64 measuredMs() const { return ended() ? endTick - startTick : -1; }
    };

    QDateTime start;  // local date and time of Start
    qint64 startTick = 0;
    qint64 startNs = 0;
    std::vector<Signal> signalsGiven;
    std::vector<Recovery> recoveries;
};

}  // namespace norak
