#pragma once

#include <QDateTime>

namespace norak {

// The local date and time (test clock, export date) and the user's formatting conventions.
class LocalClock {
  public:
    virtual ~LocalClock() = default;
    virtual QDateTime now() const = 0;
    // Separators of the user's locale: date ("/" in "dd/mm/yyyy"), time (":"), decimal (",").
    virtual QChar dateSeparator() const = 0;
    virtual QChar timeSeparator() const = 0;
    virtual QChar decimalSeparator() const = 0;
};

}  // namespace norak
