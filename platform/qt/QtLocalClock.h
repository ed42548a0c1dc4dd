#pragma once

#include <QLocale>

#include "platform/LocalClock.h"

namespace norak {

// The computer's local time and the separators of the user's locale.
class QtLocalClock : public LocalClock {
  public:
    QtLocalClock();
    // Separators as the given locale writes them (the user's locale in the program).
    explicit QtLocalClock(const QLocale& locale);

    QDateTime now() const override;
    QChar dateSeparator() const override { return m_dateSeparator; }
    QChar timeSeparator() const override { return m_timeSeparator; }
    QChar decimalSeparator() const override { return m_decimalSeparator; }

  private:
    QChar m_dateSeparator;
    QChar m_timeSeparator;
    QChar m_decimalSeparator;
};

}  // namespace norak
