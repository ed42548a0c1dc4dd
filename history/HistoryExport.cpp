#include "history/HistoryExport.h"

#include <algorithm>

#include "engine/Configuration.h"
#include "engine/UserTexts.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryText.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/ResultsTable.h"

namespace norak {

namespace {

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

template <typename T>
QString numberText(const std::optional<T>& value) {
    return value ? QString::number(*value) : QString();
}

}  // namespace

QString historyModeText(const std::optional<int>& mode) {
    return mode ? testModeText(TestMode(*mode)) : QString();
}

QStringList HistoryExport::testLines(const StoredTest& test) {
    // The results table of the test's edition holds the rows again, so that the export writer
    // itself writes them: the bytes are the export's by construction.
    ResultsTable table(test.edition);
    for (const StoredRow& row : test.rows) {
        for (int column = 0; column < row.cells.size(); ++column)
            table.setCell(column, row.row, row.cells[column]);
    }
    ExportHeader header;
    header.editionTitle = test.editionTitle;
    header.when = test.startedAt;
    header.dateSeparator = test.dateSeparator;
    header.timeSeparator = test.timeSeparator;
    header.startPeriod = test.startPeriod;
    header.startSpeedText = test.startSpeedText;
    return ExportWriter::lines(table, header);
}

std::optional<QByteArray> HistoryExport::testBytes(const StoredTest& test) {
    return ExportWriter::encode(testLines(test));
}

QString HistoryExport::testFileName(const StoredTest& test) {
    return ExportWriter::proposedFileName(test.editionTitle, test.startedAt.date());
}

QStringList HistoryExport::historyLines(const QList<StoredTest>& tests) {
    const QChar sep = QLatin1Char(';');
    QStringList out;
    out << QStringLiteral(
        ";Fecha;Hora;Edición;Modo;Periodo Inicial;Velocidad Inicial (Km/h);Nº;Sujeto;Cod.;Tiempo (mm:ss);"
        "Tiempo (s);Periodos complet.;Distancia (m);Vel. Máx. (Km/h);VO2max (ml/kg/min);");
    for (const StoredTest& test : tests) {
        const QDate date = test.startedAt.date();
        const QTime time = test.startedAt.time();
        const QString head = sep + twoDigits(date.day()) + QLatin1Char('/') + twoDigits(date.month()) +
                             QLatin1Char('/') + QString::number(date.year()) + sep + twoDigits(time.hour()) +
                             QLatin1Char(':') + twoDigits(time.minute()) + sep + test.editionTitle + sep +
                             historyModeText(test.mode) + sep + QString::number(test.startPeriod) + sep +
                             test.startSpeedText + sep;
        for (const StoredRow& row : test.rows) {
            if (row.name().trimmed().isEmpty())
                continue;
            QStringList fields;
            fields << QString::number(row.row) << row.name() << row.code() << row.cells.value(kColTime)
                   << numberText(row.seconds) << numberText(row.periods) << numberText(row.metres)
                   << (row.speedKmh ? decimalCommaText(*row.speedKmh, 1) : QString())
                   << (row.vo2max ? decimalCommaText(*row.vo2max, 3) : QString());
            out << head + fields.join(sep) + sep;
        }
    }
    return out;
}

std::optional<QByteArray> HistoryExport::historyBytes(const QList<StoredTest>& tests) {
    return ExportWriter::encode(historyLines(tests));
}

QList<StoredTest> HistoryExport::allTests(const HistoryDatabase& db) {
    QList<TestSummary> summaries = db.tests();
    std::reverse(summaries.begin(), summaries.end());  // the list is newest first
    QList<StoredTest> tests;
    tests.reserve(summaries.size());
    for (const TestSummary& summary : summaries) {
        if (std::optional<StoredTest> test = db.test(summary.uuid))
            tests.push_back(std::move(*test));
    }
    return tests;
}

}  // namespace norak
