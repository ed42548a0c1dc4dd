#pragma once

#include <QDateTime>
#include <QString>

#include "engine/Configuration.h"
#include "results/LiveValues.h"

namespace norak {

// How a test was started: the choices it runs with and when.
struct RunStarted {
    TestMode mode = TestMode::Completo;
    int startPeriod = 1;
    QString startSpeedText;  // the speed shown at Start, as the export writes it
    bool warmUp = false;
    QDateTime at;
    qint64 tick = 0;
};

// How a test ended: when, and whether it was ended by leaving the program.
struct RunStopped {
    QDateTime at;
    bool byLeaving = false;
};

// A runner recorded out of the test: who, at which tick, and the values written into the row.
struct Dropout {
    int athlete = 0;
    qint64 tick = 0;
    QString name;
    LiveValues values;
    bool byWarnings = false;  // put out by the warning rule, with the values of its last good leg
    QString by;               // who pressed it when not the laptop: "móvil 1"
};

// A warning: a player who did not reach the cone at a signal. The leg is that signal's, the
// latest leg signal of the test proper when the warning was pressed.
struct Warning {
    int athlete = 0;
    QString name;
    qint64 tick = 0;      // when it was pressed
    int leg = 0;          // the leg missed, counted over the test proper from 1
    unsigned period = 0;  // the period, signal within it and station of that leg's signal
    int signal = 0;
    int station = 0;
    bool putOut = false;  // the warning that completed the rule and put the player out
    QString by{};         // who pressed it when not the laptop: "móvil 1"

    bool operator==(const Warning&) const = default;
};

// A recovery has begun: the coming period, its speed, and the ticks of its start, alert and departure.
struct RecoveryBegan {
    unsigned nextPeriod = 0;
    QString speedText;
    qint64 startTick = 0;
    qint64 alertTick = 0;
    qint64 departureTick = 0;
};

}  // namespace norak
