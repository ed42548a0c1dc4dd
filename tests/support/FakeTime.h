#pragma once

#include <QtGlobal>

#include "engine/TestSession.h"
#include "platform/fakes/FakePlatform.h"

namespace norak::testing {

// Fake time as the window's timers see it. The tick counter and the clock move in steps; after
// each step the running pacing timer (effort or recovery: at most one runs) looks once, and the
// clock timer looks whenever a whole 100 ms has passed. `Target` is the session, the test run (their
// ticks) or the window itself (its timers' handlers), with isTimerOn.
template <typename Target>
class FakeTime {
  public:
    FakeTime(FakePlatform& fakes, Target& target) : m_fakes(fakes), m_target(target) {}

    // One step of `ms` milliseconds, then one look of each running timer.
    void step(qint64 ms = 10) {
        m_fakes.ticks.advance(ms);
        m_fakes.clock.advanceMs(ms);
        const bool clockDue = (m_elapsed + ms) / 100 != m_elapsed / 100;
        m_elapsed += ms;
        look(clockDue);
    }

    // The timers look without the time moving, as after a late wake-up.
    void look(bool clockToo = true) {
        if (m_target.isTimerOn(TestSession::Timer::Effort))
            effort();
        else if (m_target.isTimerOn(TestSession::Timer::Recovery))
            recovery();
        if (clockToo && m_target.isTimerOn(TestSession::Timer::Clock))
            clock();
    }

    // `ms` milliseconds in 10 ms steps.
    void runFor(qint64 ms) {
        for (qint64 t = 0; t < ms; t += 10)
            step();
    }

    // 10 ms steps until `done()` holds; the milliseconds it took, or -1 after `limitMs`.
    template <typename Done>
    qint64 runUntil(Done done, qint64 limitMs = 600000) {
        for (qint64 t = 10; t <= limitMs; t += 10) {
            step();
            if (done())
                return t;
        }
        return -1;
    }

    qint64 elapsed() const { return m_elapsed; }

  private:
    // The window keeps its timers' handler names; the run and the session name their ticks.
    void effort() {
        if constexpr (requires { m_target.Timer1Timer(); })
            m_target.Timer1Timer();
        else
            m_target.effortTick();
    }
    void recovery() {
        if constexpr (requires { m_target.Timer2Timer(); })
            m_target.Timer2Timer();
        else
            m_target.recoveryTick();
    }
    void clock() {
        if constexpr (requires { m_target.Timer3Timer(); })
            m_target.Timer3Timer();
        else
            m_target.clockTick();
    }

    FakePlatform& m_fakes;
    Target& m_target;
    qint64 m_elapsed = 0;
};

}  // namespace norak::testing
