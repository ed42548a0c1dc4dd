// The season history's importer of export files (history/HistoryImport::parse, "Importar
// exportaciones…"): whatever the bytes, a file it refuses comes with a reason, and a file it takes
// holds what the program itself could have written. Its own rule is that a file is taken only
// when the export writer writes the test back byte for byte; on top of that, every cell a coach
// can type passes the rules of typed text, no other cell holds a ";" or a character outside
// Windows-1252, the test never has more rows than its edition's table, its date and time are
// valid, and its identity is the file's fingerprint (the same bytes read twice are one test).
//
// Input: the file's content.
#include "engine/Edition.h"
#include "fuzz/FuzzCheck.h"
#include "history/HistoryExport.h"
#include "history/HistoryImport.h"
#include "results/CellText.h"

using norak::fuzz::require;

namespace {

constexpr const char* kTarget = "history_import";

bool onlyAcceptableCharacters(const QString& text) {
    for (const char32_t codePoint : text.toUcs4()) {
        if (!norak::isAcceptableCellCharacter(codePoint))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace norak;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const HistoryImport::Parsed parsed = HistoryImport::parse(bytes);
    if (!parsed.test) {
        require(!parsed.skipReason.isEmpty(), kTarget, "a refused file without a reason");
        return 0;
    }
    const StoredTest& test = *parsed.test;
    require(parsed.skipReason.isEmpty(), kTarget, "a taken file with a reason to skip it");
    require(test.edition >= 0 && test.edition < kEditionCount, kTarget, "no edition of the program");
    const EditionRecord record = editionRecord(test.edition);
    require(test.tableRows == record.stationsPerLap, kTarget, "the table's rows are not the edition's");
    require(test.startedAt.isValid(), kTarget, "the date or time of the test is not valid");
    require(test.startedAt.time().second() == 0 && test.startedAt.time().msec() == 0, kTarget,
            "the export's minutes gave seconds");
    require(test.startPeriod >= 0, kTarget, "a negative start period");
    require(test.hasNamedRow(), kTarget, "a test without a named player");
    require(test.sourceFingerprint == contentFingerprint(bytes), kTarget,
            "the identity is not the file's fingerprint");

    require(test.rows.size() <= record.stationsPerLap, kTarget, "more rows than the edition's table has");
    const int columns = test.edition == kEditionBasket ? 8 : 7;
    int previousRow = 0;
    for (const StoredRow& row : test.rows) {
        require(row.row > previousRow && row.row <= record.stationsPerLap, kTarget,
                "a row out of order or outside the table");
        previousRow = row.row;
        require(row.cells.size() == columns, kTarget, "a row without the edition's columns");
        for (int column = 0; column < row.cells.size(); ++column) {
            const QString& cell = row.cells[column];
            if (isUserEditableColumn(column))
                require(cell.isEmpty() || isAcceptableCellText(column, cell), kTarget,
                        "a name or code breaks the cell rules");
            else
                require(onlyAcceptableCharacters(cell), kTarget,
                        "a value holds a \";\", a control or a character outside Windows-1252");
        }
    }

    // The importer's contract: "Exportar" of the imported test gives the file again, and reading
    // the same bytes again gives the same test.
    const std::optional<QByteArray> again = HistoryExport::testBytes(test);
    require(again.has_value() && *again == bytes, kTarget, "the export of the test is not the file");
    const HistoryImport::Parsed twice = HistoryImport::parse(bytes);
    require(twice.test.has_value() && *twice.test == test, kTarget, "the same file read twice differs");
    return 0;
}
