#include "platform/QtTickSource.h"

namespace norak {

QtTickSource::QtTickSource() {
    m_timer.start();
}

qint64 QtTickSource::ticks() const {
    return m_timer.elapsed();
}

}  // namespace norak
