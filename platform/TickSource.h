#pragma once

#include <QtGlobal>

namespace norak {

// The millisecond tick counter that paces a test. Monotonic and 64 bits wide, so it never wraps
// during a run; only differences between two readings are meaningful.
class TickSource {
  public:
    virtual ~TickSource() = default;
    virtual qint64 ticks() const = 0;
    // The same counter to the nanosecond, for waking up exactly as a millisecond begins:
    // ticks() == ticksNs() / 1000000. A counter without a finer reading gives whole milliseconds.
    virtual qint64 ticksNs() const { return ticks() * 1'000'000; }
};

}  // namespace norak
