#pragma once

#include <QStringList>
#include <vector>

#include "engine/TestSession.h"
#include "platform/fakes/FakePlatform.h"
#include "support/FakeTime.h"

namespace norak::testing {

// Records what the session asks of the athletes and the results table.
struct RecordingHooks : SessionHooks {
    void activateAthleteButtons() override { ++activations; }
    void recordRemainingAthletes() override { ++recordings; }
    bool hasNamedAthlete() override { return named; }
    void prepareResultsForNewTest() override { ++preparations; }
    void switchTableToRowSelection() override { ++rowSelections; }
    void reportBadPeriodLine(int period, const QString& line) override {
        badLines.push_back(QString::number(period) + QLatin1Char(':') + line);
    }
    int activations = 0;
    int recordings = 0;
    int preparations = 0;
    int rowSelections = 0;
    bool named = true;
    QStringList badLines;
};

// A session on fake time, driven the way the window's timers drive it: the tick counter and the
// clock move in steps, the 10 ms timers look at every step and the clock timer every 100 ms.
struct SessionHarness {
    explicit SessionHarness(int edition)
        : session(edition, fakes.ticks, fakes.clock, fakes.sound, fakes.messages, hooks),
          time(fakes, session) {
        session.activate();
    }

    // Chooses a mode (which prepares a new test) and a start period, then starts.
    void start(TestMode mode, int startPeriod, bool warmUp) {
        session.chooseMode(mode);
        session.setStartPeriod(startPeriod);
        if (session.display().warmUpChecked != warmUp)
            session.setWarmUp(warmUp);
        session.start();
    }

    // One step of `ms` milliseconds; returns the number of signal sounds it gave.
    int step(qint64 ms = 10) {
        const int before = fakes.sound.m_signals;
        time.step(ms);
        return fakes.sound.m_signals - before;
    }

    // Steps until the next signal sound; returns the elapsed ms since the call, or -1.
    qint64 runToNextSignal(qint64 limitMs = 600000) {
        for (qint64 t = 10; t <= limitMs; t += 10) {
            if (step() > 0)
                return t;
        }
        return -1;
    }

    void runFor(qint64 ms) { time.runFor(ms); }

    FakePlatform fakes;
    RecordingHooks hooks;
    TestSession session;
    FakeTime<TestSession> time;
};

}  // namespace norak::testing
