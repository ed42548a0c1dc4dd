#include "platform/qt/QtLocalClock.h"

namespace norak {

namespace {

// The first character of a date or time pattern that is neither a field letter nor a quote nor
// a blank: "/" in "dd/MM/yyyy", ":" in "HH:mm".
QChar firstSeparator(const QString& pattern, QChar fallback) {
    for (QChar c : pattern) {
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\''))
            return c;
    }
    return fallback;
}

}  // namespace

QtLocalClock::QtLocalClock() : QtLocalClock(QLocale::system()) {}

QtLocalClock::QtLocalClock(const QLocale& locale)
    : m_dateSeparator(firstSeparator(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/'))),
      m_timeSeparator(firstSeparator(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'))) {
    const QString decimal = locale.decimalPoint();
    m_decimalSeparator = decimal.isEmpty() ? QLatin1Char('.') : decimal.front();
}

QDateTime QtLocalClock::now() const {
    return QDateTime::currentDateTime();
}

}  // namespace norak
