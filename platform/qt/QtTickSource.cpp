#include "platform/qt/QtTickSource.h"

namespace norak {

QtTickSource::QtTickSource() {
    m_timer.start();
}

qint64 QtTickSource::ticks() const {
    return ticksNs() / 1'000'000;
}

qint64 QtTickSource::ticksNs() const {
    return m_timer.nsecsElapsed();
}

}  // namespace norak
