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
