#pragma once

#include <QElapsedTimer>

#include "platform/TickSource.h"

namespace norak {

// Milliseconds of the system's monotonic clock, counted from the creation of the object.
class QtTickSource : public TickSource {
  public:
    QtTickSource();
    qint64 ticks() const override;
    qint64 ticksNs() const override;

  private:
    QElapsedTimer m_timer;
};

}  // namespace norak
