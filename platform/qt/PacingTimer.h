#pragma once

#include <QObject>
#include <QTimer>

#include "platform/qt/PreciseWakeUp.h"

namespace norak {

class TickSource;

// The periodic timer of the effort and recovery ticks. Besides its regular ticks it can be armed
// for the moment a decision falls due: a precise single-shot wake-up then delivers an extra
// timeout() just after that moment, so the decision is taken within a fraction of a millisecond
// instead of up to one interval late, without polling faster.
class PacingTimer : public QObject {
    Q_OBJECT

  public:
    explicit PacingTimer(QObject* parent = nullptr);

    // Starts (or restarts) the regular ticks every intervalMs.
    void start(int intervalMs);
    // Stops the regular ticks and any armed wake-up.
    void stop();
    bool isActive() const;
    int interval() const;

    // While active: one extra timeout() as the tick source's millisecond dueTick + 1 begins, the
    // first moment at which "more than the run time has passed" (timed on the source's
    // nanosecond reading). Replaces an earlier arming; arming again for the same moment keeps
    // the wake-up as it is. Ignored when the timer is stopped or the moment has already come
    // (the next regular tick sees it).
    void armAt(qint64 dueTick, const TickSource& ticks);
    bool isArmed() const;
    // While armed: the millisecond of the tick source at whose beginning the wake-up fires.
    qint64 wakeUpTick() const { return m_dueTick + 1; }

  Q_SIGNALS:
    void timeout();

  private:
    void wakeUp();

    QTimer m_periodic;
    PreciseWakeUp m_wakeUp;
    qint64 m_dueTick = 0;
    const TickSource* m_ticks = nullptr;
};

}  // namespace norak
