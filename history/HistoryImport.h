#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "history/StoredTest.h"

namespace norak {

class HistoryDatabase;

// "Importar exportaciones…": the export files of this program (any edition, Windows-1252) become
// tests of the history. An export's own date and time stand for its test's. A file's identity is
// a fingerprint of its content, and its test's UUID is made from that fingerprint: the same file
// imported twice, on one laptop or on two, is one test.
class HistoryImport {
  public:
    // A file larger than this is no export (the largest holds 14 rows of short values).
    static constexpr qint64 kMaxBytes = 64 * 1024;

    struct Parsed {
        std::optional<StoredTest> test;
        QString skipReason;  // why the file is not taken, when test is empty
    };
    // One file's content.
    static Parsed parse(const QByteArray& bytes);

    struct Skipped {
        QString fileName;
        QString reason;
    };
    struct Report {
        int imported = 0;
        int alreadyThere = 0;
        QList<Skipped> skipped;
        QString failure;  // the history could not be written: nothing of the batch was kept
        // The one message of the import, in Spanish.
        QString text() const;
    };
    // Every file of the folder (not its subfolders), by name.
    static Report importFolder(HistoryDatabase& db, const QString& folder);
    static Report importFiles(HistoryDatabase& db, const QStringList& paths);
};

}  // namespace norak
