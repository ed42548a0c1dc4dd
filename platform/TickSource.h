#pragma once

#include <QtGlobal>

namespace norak {

// The millisecond tick counter that paces a test. Monotonic and 64 bits wide, so it never wraps
// during a run; only differences between two readings are meaningful.
class TickSource {
  public:
    virtual ~TickSource() = default;
    virtual qint64 ticks() const = 0;
};

}  // namespace norak
