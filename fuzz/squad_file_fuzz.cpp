// The squad-file reader (results/SquadFile, "Cargar"): whatever the bytes, what it puts into
// the table passes the rules of typed text, never fills more rows than the edition's table has,
// and reads back the same from the program's own export of it.
//
// Input: the file, read for a table of 12 rows and for one of 14.
#include <QDateTime>

#include "engine/Edition.h"
#include "fuzz/FuzzCheck.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/ResultsTable.h"
#include "results/SquadFile.h"
#include "results/Windows1252.h"

using norak::fuzz::require;

namespace {

constexpr const char* kTarget = "squad_file";

bool sameRows(const QList<norak::SquadRow>& a, const QList<norak::SquadRow>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].code != b[i].code)
            return false;
    }
    return true;
}

// Every property for one table size.
void check(const QByteArray& file, int edition) {
    using namespace norak;
    const int tableRows = editionRecord(edition).stationsPerLap;
    const SquadLoad load = SquadFile::parse(file, tableRows);
    if (load.error) {
        require(load.rows.isEmpty() && load.problems.isEmpty(), kTarget,
                "an error came with rows or problems");
        require(!SquadFile::errorText(*load.error, QStringLiteral("f.txt")).isEmpty(), kTarget,
                "no error text");
        return;
    }
    require(!load.rows.isEmpty(), kTarget, "no error and no rows");
    require(load.rows.size() <= tableRows, kTarget, "more rows than the edition's table has");
    for (const SquadRow& row : load.rows) {
        require(!row.name.isEmpty(), kTarget, "a row without a name");
        require(isAcceptableCellText(kColName, row.name), kTarget, "a name breaks the cell rules");
        require(isAcceptableCellText(kColCode, row.code), kTarget, "a code breaks the cell rules");
        require(row.name == row.name.trimmed() && row.code == row.code.trimmed(), kTarget,
                "blanks around a name or code");
    }
    int previousLine = 0;
    for (const SquadProblem& problem : load.problems) {
        require(problem.fileLine >= previousLine && problem.fileLine >= 1, kTarget,
                "problems out of file order");
        previousLine = problem.fileLine;
        require(problem.tableRow >= 0 && problem.tableRow <= load.rows.size(), kTarget,
                "a problem names a row that was not loaded");
        const bool notLoaded =
            problem.kind == SquadProblem::Kind::NoName || problem.kind == SquadProblem::Kind::LeftOut;
        require(notLoaded == (problem.tableRow == 0), kTarget, "a problem's row does not fit its kind");
        if (problem.kind == SquadProblem::Kind::LeftOut)
            require(load.rows.size() == tableRows, kTarget, "a player left out while rows were free");
    }
    require(SquadFile::problemsText(load.problems, tableRows).isEmpty() == load.problems.isEmpty(), kTarget,
            "the problems message does not match the problems");

    // Loaded into a table and exported, the squad reads back as it was, with nothing to say.
    ResultsTable table(edition);
    for (qsizetype i = 0; i < load.rows.size(); ++i) {
        table.setCell(kColName, int(i) + 1, load.rows[i].name);
        table.setCell(kColCode, int(i) + 1, load.rows[i].code);
    }
    ExportHeader header;
    header.editionTitle = editionRecord(edition).editionTitle;
    header.when = QDateTime(QDate(2026, 12, 8), QTime(18, 35));
    header.startPeriod = 4;
    header.startSpeedText = QStringLiteral("6,0");
    const std::optional<QByteArray> exported = ExportWriter::encode(ExportWriter::lines(table, header));
    require(exported.has_value(), kTarget, "the loaded squad cannot be exported");
    const SquadLoad again = SquadFile::parse(*exported, tableRows);
    require(!again.error && sameRows(again.rows, load.rows), kTarget,
            "the export of the loaded squad does not read back the same");
    require(again.problems.isEmpty(), kTarget, "the export of the loaded squad reads back with problems");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    // The two table sizes of the editions: 12 rows (Basket, Zevez) and 14 (the football ones).
    check(file, norak::kEditionZevez);
    check(file, norak::kEditionFutbol);
    return 0;
}
