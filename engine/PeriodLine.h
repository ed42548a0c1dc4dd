#pragma once

#include <QStringView>
#include <optional>

namespace norak {

// The run times of one leg a line of the period table may give, in milliseconds. The editions'
// tables hold 951 ... 8571 ms; below a tenth of a second no player reaches the next cone (an
// edited "1" would give a signal every other tick), and a leg of over a minute is a slip of the
// keys, not a pace.
inline constexpr int kMinLegMs = 100;
inline constexpr int kMaxLegMs = 60000;

// The leg time, in milliseconds, that a line of the period table gives (the table is typed into
// while a test runs): plain digits 0-9, blanks around them allowed, within kMinLegMs ...
// kMaxLegMs. nullopt for anything else (a sign, a decimal comma, other scripts' digits, a blank
// line): such a line gives no signal.
std::optional<int> parsePeriodLine(QStringView line);

}  // namespace norak
