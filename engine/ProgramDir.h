#pragma once

#include <QString>

namespace norak {

// The folder of a program file's path, including its final separator ("/" or "\"): the path's
// first characters up to and including the last separator. A path without a separator gives
// the empty text; a path that ends in a separator is returned whole.
QString programDirOf(const QString& programPath);

}  // namespace norak
