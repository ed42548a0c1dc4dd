#pragma once

#include <QStringView>
#include <optional>

namespace norak {

// The leg time, in milliseconds, that a line of the period table gives (the table is typed into
// while a test runs); nullopt for anything that is no leg time: such a line gives no signal.
std::optional<int> parsePeriodLine(QStringView line);

}  // namespace norak
