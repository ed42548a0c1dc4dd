#include "engine/ProgramDir.h"

namespace norak {

QString programDirOf(const QString& programPath) {
    qsizetype sinceSeparator = 0;
    for (const QChar c : programPath) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('/'))
            sinceSeparator = 0;
        else
            ++sinceSeparator;
    }
    return programPath.left(programPath.size() - sinceSeparator);
}

}  // namespace norak
