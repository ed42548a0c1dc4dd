#include "history/HistoryImport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include "engine/Edition.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"
#include "results/CellText.h"
#include "results/Windows1252.h"

namespace norak {

namespace {

// The UUIDs of imported tests are made (version 5) from their file's fingerprint in this space.
const QUuid kImportNamespace(QStringLiteral("6f1c2a57-3e0b-4c55-9d1e-6a0f1b8e2c41"));

// Tests are written in batches: one transaction (and one wait for the disk) per batch.
constexpr int kBatch = 100;

std::optional<int> editionOfTitle(const QString& title) {
    for (int edition = 0; edition < kEditionCount; ++edition) {
        if (editionRecord(edition).editionTitle == title)
            return edition;
    }
    if (title == zevezTitleForVariant(1))
        return kEditionZevez;
    return std::nullopt;
}

// What a row of the program's own table can hold: names and codes as the cells let a coach type
// them (their length limits, no control characters), and values without control characters.
// The export writer would write anything back, so a file edited by hand or saved again in
// another encoding (a 20-letter name grows to 24 characters as UTF-8 read as Windows-1252)
// would otherwise bring text into the history that its table could never show.
bool tableCouldHold(const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column) {
        const QString& cell = cells[column];
        if (isUserEditableColumn(column)) {
            if (!cell.isEmpty() && !isAcceptableCellText(column, cell))
                return false;
            continue;
        }
        for (const char32_t codePoint : cell.toUcs4()) {
            if (!isAcceptableCellCharacter(codePoint))
                return false;
        }
    }
    return true;
}

}  // namespace

HistoryImport::Parsed HistoryImport::parse(const QByteArray& bytes) {
    auto skip = [](const QString& reason) { return Parsed{std::nullopt, reason}; };
    if (bytes.isEmpty())
        return skip(QStringLiteral("está vacío"));
    if (bytes.size() > kMaxBytes)
        return skip(QStringLiteral("es demasiado grande para ser una exportación"));
    if (bytes.contains('\0'))
        return skip(QStringLiteral("no es un archivo de texto"));
    const QString text = decodeWindows1252(bytes);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (lines.size() < 5 || !lines.last().isEmpty())
        return skip(QStringLiteral("no es una exportación de resultados (no tiene sus líneas)"));
    lines.removeLast();

    const std::optional<int> edition = editionOfTitle(lines[0]);
    if (!edition)
        return skip(
            QStringLiteral("no es una exportación de resultados (la primera línea no nombra una edición)"));
    const EditionRecord record = editionRecord(*edition);

    static const QRegularExpression when(QStringLiteral(
        "^;(\\d{2})([^\\d;])(\\d{2})\\2(\\d{4});(\\d{2})([^\\d;])(\\d{2});(\\d{1,2});([0-9.,]*);$"));
    const QRegularExpressionMatch match = when.match(lines[2]);
    if (!match.hasMatch())
        return skip(QStringLiteral("no es una exportación de resultados (falta la fecha de la prueba)"));
    const QDate date(match.captured(4).toInt(), match.captured(3).toInt(), match.captured(1).toInt());
    const QTime time(match.captured(5).toInt(), match.captured(7).toInt());
    if (!date.isValid() || !time.isValid())
        return skip(QStringLiteral("la fecha o la hora de la prueba no es válida"));

    const QString fingerprint = contentFingerprint(bytes);
    StoredTest test;
    test.uuid = QUuid::createUuidV5(kImportNamespace, fingerprint).toString(QUuid::WithoutBraces);
    test.edition = *edition;
    test.editionTitle = lines[0];
    test.startedAt = QDateTime(date, time);
    test.startPeriod = match.captured(8).toInt();
    test.startSpeedText = match.captured(9);
    test.dateSeparator = match.captured(2).at(0);
    test.timeSeparator = match.captured(6).at(0);
    test.tableRows = record.stationsPerLap;
    test.sourceFingerprint = fingerprint;

    const int columns = *edition == kEditionBasket ? 8 : 7;
    const int rowCount = int(lines.size()) - 4;
    if (rowCount != record.stationsPerLap)
        return skip(QStringLiteral("tiene %1 filas y la edición %2 tiene %3")
                        .arg(rowCount)
                        .arg(lines[0])
                        .arg(record.stationsPerLap));
    for (int row = 1; row <= rowCount; ++row) {
        const QString& line = lines[3 + row];
        QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() != columns + 2 || !fields.first().isEmpty() || !fields.last().isEmpty())
            return skip(QStringLiteral("la fila %1 no tiene los %2 valores de una exportación")
                            .arg(row)
                            .arg(columns));
        fields = fields.mid(1, columns);
        if (!tableCouldHold(fields))
            return skip(QStringLiteral("la fila %1 tiene un nombre de más de %2 letras, un código de más de "
                                       "%3 o caracteres de control: no la escribió este programa")
                            .arg(row)
                            .arg(kNameMaxLength)
                            .arg(kCodeMaxLength));
        bool anything = false;
        for (const QString& field : fields)
            anything = anything || !field.isEmpty();
        if (!anything)
            continue;
        StoredRow stored;
        stored.row = row;
        stored.cells = fields;
        stored.computeNumbers();
        test.rows.push_back(stored);
    }
    // The file is taken only when the export writer writes it back byte for byte: then the
    // history holds all of it, and "Exportar" gives the same file again.
    if (HistoryExport::testBytes(test) != bytes)
        return skip(QStringLiteral(
            "no es una exportación de resultados (sus títulos no son los de una exportación)"));
    if (!test.hasNamedRow())
        return skip(QStringLiteral("no tiene ningún deportista con nombre"));
    return {test, QString()};
}

HistoryImport::Report HistoryImport::importFolder(HistoryDatabase& db, const QString& folder) {
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    QStringList paths;
    paths.reserve(files.size());
    for (const QFileInfo& file : files)
        paths << file.absoluteFilePath();
    return importFiles(db, paths);
}

HistoryImport::Report HistoryImport::importFiles(HistoryDatabase& db, const QStringList& paths) {
    Report report;
    QList<StoredTest> batch;
    QStringList seen;  // fingerprints of this import, for two copies of one file in the folder
    auto flush = [&] {
        if (batch.isEmpty() || !report.failure.isEmpty())
            return;
        for (const StoreResult& result : db.storeAll(batch)) {
            if (result.ok())
                ++report.imported;
            else if (result.outcome == StoreResult::Outcome::AlreadyImported)
                ++report.alreadyThere;
            else if (result.outcome == StoreResult::Outcome::Failed && report.failure.isEmpty())
                report.failure = result.message;
        }
        batch.clear();
    };
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        QFile file(path);
        if (file.size() > kMaxBytes) {
            report.skipped.push_back({name, QStringLiteral("es demasiado grande para ser una exportación")});
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            report.skipped.push_back({name, QStringLiteral("no se puede leer")});
            continue;
        }
        const Parsed parsed = parse(file.read(kMaxBytes + 1));
        if (!parsed.test) {
            report.skipped.push_back({name, parsed.skipReason});
            continue;
        }
        if (seen.contains(parsed.test->sourceFingerprint) || db.hasImported(parsed.test->sourceFingerprint)) {
            ++report.alreadyThere;
            continue;
        }
        seen << parsed.test->sourceFingerprint;
        batch.push_back(*parsed.test);
        if (batch.size() >= kBatch)
            flush();
    }
    flush();
    return report;
}

QString HistoryImport::Report::text() const {
    QStringList out;
    if (!failure.isEmpty())
        out << failure;
    out << QStringLiteral("Pruebas importadas: %1.").arg(imported);
    if (alreadyThere > 0)
        out << QStringLiteral("Ya estaban en el historial: %1.").arg(alreadyThere);
    if (!skipped.isEmpty()) {
        out << QStringLiteral("Archivos no importados:");
        for (const Skipped& file : skipped)
            out << QStringLiteral("  %1: %2.").arg(file.fileName, file.reason);
    }
    return out.join(QLatin1Char('\n'));
}

}  // namespace norak
