#pragma once

#include <QString>

namespace norak {

// Keeps the screen lit and the system awake while a test runs. Both calls return at once and
// never fail visibly: where the desktop offers no way to stay awake, nothing happens.
class SleepInhibitor {
  public:
    virtual ~SleepInhibitor() = default;
    // Asks the desktop to stay awake until release(); while held, a second take() does nothing.
    virtual void take(const QString& reason) = 0;
    // Lets the desktop sleep again; nothing happens when nothing is held.
    virtual void release() = 0;
};

}  // namespace norak
