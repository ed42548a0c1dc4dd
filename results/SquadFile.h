#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "engine/UserTexts.h"

class QIODevice;

namespace norak {

// A file larger than this is no list of players; it is refused before it is read.
inline constexpr qint64 kSquadFileMaxBytes = 1024 * 1024;

// One player read from a file, already fit for the table.
struct SquadRow {
    QString name;
    QString code;
};

// What did not go into the table as it stood in the file.
struct SquadProblem {
    enum class Kind {
        NameCut,      // longer than 20 characters: cut
        CodeCut,      // longer than 5 characters: cut
        NameRefused,  // characters a typed name may not hold were left out
        CodeRefused,  // the same in the code
        NoName,       // no name (or none left once refused characters are out): not loaded
        LeftOut,      // more players than rows in the table: not loaded
    };
    Kind kind = Kind::NameCut;
    int fileLine = 0;  // line of the file (1-based) the player stands on
    int tableRow = 0;  // row of the table it was loaded into; 0 when it was not loaded
    QString text;      // the name (or code) as it stood in the file
    QString refused;   // the refused characters, for NameRefused and CodeRefused
};

enum class SquadError {
    Unreadable,  // the file cannot be opened or read
    TooLarge,    // over kSquadFileMaxBytes
    Binary,      // not text
    Empty,       // no bytes, or nothing but blanks
    NoPlayers,   // text, but not one name in it
};

struct SquadLoad {
    std::optional<SquadError> error;  // set: nothing to load, rows empty
    QList<SquadRow> rows;             // to fill the table from row 1
    QList<SquadProblem> problems;     // in file order
};

// The reader of a squad file: an export of this program (any edition) or a spreadsheet's CSV or
// text file, fields separated by ";", "," or tab, in UTF-8 (with or without BOM), UTF-16 with
// BOM or Windows-1252. Names and codes pass the rules of typed text (results/CellText).
class SquadFile {
  public:
    // From a file path (opened and closed here).
    static SquadLoad readFile(const QString& path, int tableRows);
    // From a device open for reading: refuses a device over the limit before reading it.
    static SquadLoad read(QIODevice& device, int tableRows);
    // From the whole content of a file.
    static SquadLoad parse(const QByteArray& bytes, int tableRows);

    // The message for an error, naming the file (its name without the folder).
    static QString errorText(SquadError error, const QString& fileName);
    // The one message listing the problems; empty when there are none.
    static QString problemsText(const QList<SquadProblem>& problems, int tableRows);
};

}  // namespace norak
