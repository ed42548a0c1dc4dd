#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "history/StoredTest.h"

namespace norak {

class HistoryDatabase;

// What the history writes: a stored test again as its export file, and the whole history as one
// semicolon file for a spreadsheet. Both with the export's conventions: Windows-1252, decimal
// comma, CR LF after every line.
class HistoryExport {
  public:
    // The lines of the test's export, as the results export writes them, with the test's own
    // date and time (an imported file's are its own) and the laptop's separators of then.
    static QStringList testLines(const StoredTest& test);
    // Its bytes; nullopt when a character has no place in Windows-1252.
    static std::optional<QByteArray> testBytes(const StoredTest& test);
    // The name the export would have proposed: edition title + "_" + "dd-mm-yy" + ".txt".
    static QString testFileName(const StoredTest& test);

    // One title line, then one line per named row of every test, tests oldest first: date, time,
    // edition, mode, start period and speed, then the row's values as shown and as numbers.
    static QStringList historyLines(const QList<StoredTest>& tests);
    static std::optional<QByteArray> historyBytes(const QList<StoredTest>& tests);
    // Every test of a database, oldest first.
    static QList<StoredTest> allTests(const HistoryDatabase& db);
};

// "Test completo", "Test de esfuerzo", "Repetir periodo"; empty when the mode is not known.
QString historyModeText(const std::optional<int>& mode);

}  // namespace norak
