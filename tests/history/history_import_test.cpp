#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"
#include "history/HistoryImport.h"
#include "results/ExportWriter.h"
#include "results/ResultsTable.h"
#include "results/Windows1252.h"
#include "support/HistorySamples.h"

using namespace norak;

namespace {

// The export the program itself writes for a test: its table filled cell by cell, then the
// export writer, at the test's Start (the export shows minutes only).
QByteArray exportOf(const StoredTest& test) {
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
    return *ExportWriter::encode(ExportWriter::lines(table, header));
}

// What the history can know of a test from its export.
StoredTest asImported(StoredTest test, const QByteArray& bytes) {
    const QTime time = test.startedAt.time();
    test.startedAt = QDateTime(test.startedAt.date(), QTime(time.hour(), time.minute()));
    test.stoppedAt = QDateTime();
    test.periodTableFingerprint.clear();
    test.mode.reset();
    test.warmUp.reset();
    test.soundOutput.clear();
    test.signalsGiven.reset();
    test.latenessP50Ms.reset();
    test.latenessP99Ms.reset();
    test.latenessMaxMs.reset();
    test.sourceFingerprint = contentFingerprint(bytes);
    return test;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// The export writer's own files of all five editions (with other separators, the volleyball
// title, rows without results and unnamed rows) become the same tests; "Exportar" writes each
// file again byte for byte; a second import adds nothing; what is not an export is listed with
// its reason.
TEST(HistoryImportTest, ExportWriterFilesOfEveryEditionGiveBackTheSameTests) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("exportaciones"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QList<StoredTest> expected;
    for (int edition = 0; edition < kEditionCount; ++edition) {
        StoredTest test = sampleTest(edition, 11, edition, 4 + edition);
        if (edition == kEditionFutSal) {
            test.dateSeparator = QLatin1Char('-');
            test.timeSeparator = QLatin1Char('.');
        }
        if (edition == kEditionZevez)
            test.editionTitle = zevezTitleForVariant(1);
        // A player who never ran, and a code left without a name further down.
        for (int column = kColTime; column < test.rows[1].cells.size(); ++column)
            test.rows[1].cells[column].clear();
        test.rows[1].cells[kColNumber].clear();
        test.rows[1].computeNumbers();
        StoredRow codeOnly;
        codeOnly.row = test.tableRows;
        codeOnly.cells = QStringList(test.rows[0].cells.size(), QString());
        codeOnly.cells[kColCode] = QStringLiteral("X1");
        test.rows.push_back(codeOnly);
        const QByteArray bytes = exportOf(test);
        writeFile(folder + QLatin1Char('/') +
                      ExportWriter::proposedFileName(test.editionTitle, test.startedAt.date()),
                  bytes);
        expected.push_back(asImported(test, bytes));
    }
    writeFile(folder + QStringLiteral("/plantilla.csv"), QByteArrayLiteral("Nombre;Código\r\nAna;V01\r\n"));
    writeFile(folder + QStringLiteral("/vacio.txt"), QByteArray());
    writeFile(folder + QStringLiteral("/foto.jpg"), QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0", 11));
    QByteArray cut = exportOf(sampleTest(kEditionZevez, 12, 1));
    cut.chop(20);
    writeFile(folder + QStringLiteral("/cortado.txt"), cut);
    QByteArray unix = exportOf(sampleTest(kEditionZevez, 12, 2));
    unix.replace("\r\n", "\n");
    writeFile(folder + QStringLiteral("/unix.txt"), unix);
    StoredTest nobody = sampleTest(kEditionZevez, 12, 3, 2);
    for (StoredRow& row : nobody.rows)
        row.cells[kColName].clear();
    writeFile(folder + QStringLiteral("/sin_nombres.txt"), exportOf(nobody));
    QByteArray retitled = exportOf(sampleTest(kEditionZevez, 12, 4));
    retitled.replace("Sujeto", "Nombre");
    writeFile(folder + QStringLiteral("/otros_titulos.txt"), retitled);

    HistoryDatabase db;
    ASSERT_EQ(db.open(dir.filePath(QStringLiteral("historial.sqlite"))).status,
              HistoryOpening::Status::Ready);
    const HistoryImport::Report report = HistoryImport::importFolder(db, folder);
    EXPECT_EQ(report.imported, kEditionCount);
    EXPECT_EQ(report.alreadyThere, 0);
    EXPECT_TRUE(report.failure.isEmpty()) << report.failure.toStdString() << db.lastError().toStdString();
    QStringList skipped;
    for (const HistoryImport::Skipped& file : report.skipped)
        skipped << file.fileName + QStringLiteral(": ") + file.reason;
    EXPECT_EQ(skipped.size(), 7) << skipped.join(QLatin1Char('\n')).toStdString();
    const QString text = report.text();
    EXPECT_TRUE(text.contains(QStringLiteral("Pruebas importadas: 5.")));
    EXPECT_TRUE(text.contains(QStringLiteral("plantilla.csv: no es una exportación de resultados")));
    EXPECT_TRUE(text.contains(QStringLiteral("vacio.txt: está vacío")));
    EXPECT_TRUE(text.contains(QStringLiteral("foto.jpg: no es un archivo de texto")));
    EXPECT_TRUE(text.contains(QStringLiteral("sin_nombres.txt: no tiene ningún deportista con nombre")));
    EXPECT_TRUE(text.contains(QStringLiteral("otros_titulos.txt: no es una exportación")));
    EXPECT_TRUE(text.contains(QStringLiteral("cortado.txt:")));
    EXPECT_TRUE(text.contains(QStringLiteral("unix.txt:")));

    ASSERT_EQ(db.tests().size(), kEditionCount);
    for (const StoredTest& want : expected) {
        const QList<TestSummary> tests = db.tests();
        const auto found = std::find_if(tests.begin(), tests.end(), [&](const TestSummary& t) {
            return t.edition == want.edition && t.startedAt == want.startedAt;
        });
        ASSERT_NE(found, tests.end()) << "edition " << want.edition;
        EXPECT_TRUE(found->imported);
        StoredTest back = *db.test(found->uuid);
        const QByteArray again = *HistoryExport::testBytes(back);
        EXPECT_EQ(again, readFile(folder + QLatin1Char('/') + HistoryExport::testFileName(back)));
        for (StoredRow& row : back.rows)
            row.playerUuid.clear();
        StoredTest same = want;
        same.uuid = back.uuid;
        EXPECT_EQ(back, same) << "edition " << want.edition;
    }

    const HistoryImport::Report second = HistoryImport::importFolder(db, folder);
    EXPECT_EQ(second.imported, 0);
    EXPECT_EQ(second.alreadyThere, kEditionCount);
    EXPECT_EQ(db.tests().size(), kEditionCount);

    // Another laptop importing the same file makes the same test (a UUID from the content).
    HistoryDatabase other;
    ASSERT_EQ(other.open(dir.filePath(QStringLiteral("otro.sqlite"))).status, HistoryOpening::Status::Ready);
    HistoryImport::importFolder(other, folder);
    QStringList ours;
    QStringList theirs;
    for (const TestSummary& t : db.tests())
        ours << t.uuid;
    for (const TestSummary& t : other.tests())
        theirs << t.uuid;
    EXPECT_EQ(ours, theirs);
}

// The sample export of the documentation (a file the program wrote) is taken as it is.
TEST(HistoryImportTest, TheDocumentedSampleExportIsAnExport) {
    const QByteArray bytes =
        readFile(QStringLiteral(NORAK_SOURCE_DIR "/docs/screenshots/export-example.txt"));
    ASSERT_FALSE(bytes.isEmpty());
    const HistoryImport::Parsed parsed = HistoryImport::parse(bytes);
    ASSERT_TRUE(parsed.test) << parsed.skipReason.toStdString();
    EXPECT_EQ(parsed.test->edition, kEditionZevez);
    EXPECT_EQ(parsed.test->startedAt, QDateTime(QDate(2026, 12, 7), QTime(18, 35)));
    EXPECT_EQ(parsed.test->rows.size(), 8);
    EXPECT_EQ(parsed.test->rows[1].name(), QStringLiteral("Lucía"));
    EXPECT_EQ(parsed.test->rows[0].seconds, 5 * 60 + 12);
    EXPECT_EQ(parsed.test->rows[0].metres, 452);
    EXPECT_DOUBLE_EQ(*parsed.test->rows[0].speedKmh, 7.2);
}

// The export writer writes back whatever a table holds, so "the same bytes again" alone would take
// a file edited by hand or saved again in another encoding with names its table could never
// show. Such a file is refused with its row named; the longest name and code a coach can type
// are still taken. (The fuzzer's history_import/property-* inputs are files of this kind.)
TEST(HistoryImportTest, RefusesRowsTheTableCouldNotHoldAndTakesTheLongestTypedOnes) {
    StoredTest sample = sampleTest(kEditionZevez, 5, 1, 4);  // an ASCII title
    for (StoredRow& row : sample.rows)
        row.cells[kColName] = QStringLiteral("Ana");  // the same in any encoding
    auto withCell = [&](int column, const QString& text) {
        StoredTest test = sample;
        test.rows[2].cells[column] = text;
        test.rows[2].computeNumbers();
        return exportOf(test);
    };
    const QString longest = QString(kNameMaxLength - 1, QLatin1Char('n')) + QStringLiteral("ñ");
    const HistoryImport::Parsed atLimits =
        HistoryImport::parse(withCell(kColName, longest).replace("V03", QByteArray(kCodeMaxLength, 'C')));
    ASSERT_TRUE(atLimits.test) << atLimits.skipReason.toStdString();
    EXPECT_EQ(atLimits.test->rows[2].name(), longest);

    const QList<QByteArray> refused = {
        withCell(kColName, longest + QStringLiteral("z")),
        withCell(kColCode, QString(kCodeMaxLength + 1, QLatin1Char('C'))),
        withCell(kColName, QStringLiteral("Ana\x01")), withCell(kColTime, QStringLiteral("05:\t2")),
        // Saved again as UTF-8 by an editor: "Ñúñez Ibáñez Olaño P" grows past 20 characters.
        decodeWindows1252(withCell(kColName, QStringLiteral("Ñúñez Ibáñez Olaño P"))).toUtf8()};
    for (const QByteArray& bytes : refused) {
        const HistoryImport::Parsed parsed = HistoryImport::parse(bytes);
        EXPECT_FALSE(parsed.test) << bytes.toStdString();
        EXPECT_TRUE(parsed.skipReason.startsWith(QStringLiteral("la fila 3 ")))
            << parsed.skipReason.toStdString();
    }
}

// The history's export: a title line, one line per named row of every test, Windows-1252,
// decimal comma, CR LF.
TEST(HistoryExportTest, OneLinePerPlayerPerTestInTheExportConventions) {
    StoredTest basket;
    basket.edition = kEditionBasket;
    basket.editionTitle = QStringLiteral("NORAK-Basket 2.0");
    basket.startedAt = QDateTime(QDate(2026, 3, 9), QTime(17, 5, 42));
    basket.mode = 1;
    basket.startPeriod = 4;
    basket.startSpeedText = QStringLiteral("6,0");
    StoredRow a;
    a.row = 1;
    a.cells = {QStringLiteral("1"), QStringLiteral("Íñigo"), QStringLiteral("B7"),  QStringLiteral("06:15"),
               QStringLiteral("3"), QStringLiteral("1008"),  QStringLiteral("7,8"), QStringLiteral("15,699")};
    a.computeNumbers();
    StoredRow unnamed;
    unnamed.row = 2;
    unnamed.cells = {QString(), QString(), QStringLiteral("X"), QString(),
                     QString(), QString(), QString(),           QString()};
    StoredRow b;
    b.row = 3;
    b.cells = {QStringLiteral("3"), QStringLiteral("Ana"),
               QString(),           QString(),
               QString(),           QString(),
               QString(),           QString()};
    basket.rows = {a, unnamed, b};
    StoredTest imported;
    imported.edition = kEditionZevez;
    imported.editionTitle = QStringLiteral("NORAK-Zevez");
    imported.startedAt = QDateTime(QDate(2025, 11, 2), QTime(9, 30));
    imported.startPeriod = 1;
    imported.startSpeedText = QStringLiteral("4,2");
    StoredRow c;
    c.row = 5;
    c.cells = {QStringLiteral("5"), QStringLiteral("Zoë"), QStringLiteral("V5"), QStringLiteral("01:28"),
               QStringLiteral("0"), QStringLiteral("147"), QStringLiteral("6.0")};
    c.computeNumbers();
    imported.rows = {c};

    const std::optional<QByteArray> bytes = HistoryExport::historyBytes({imported, basket});
    ASSERT_TRUE(bytes);
    const QByteArray expected =
        ";Fecha;Hora;Edici\xf3n;Modo;Periodo Inicial;Velocidad Inicial (Km/h);N\xba;Sujeto;Cod.;Tiempo "
        "(mm:ss);"
        "Tiempo (s);Periodos complet.;Distancia (m);Vel. M\xe1x. (Km/h);VO2max (ml/kg/min);\r\n"
        ";02/11/2025;09:30;NORAK-Zevez;;1;4,2;5;Zo\xeb;V5;01:28;88;0;147;6;;\r\n"
        ";09/03/2026;17:05;NORAK-Basket 2.0;Test de "
        "esfuerzo;4;6,0;1;\xcd\xf1igo;B7;06:15;375;3;1008;7,8;15,699;\r\n"
        ";09/03/2026;17:05;NORAK-Basket 2.0;Test de esfuerzo;4;6,0;3;Ana;;;;;;;;\r\n";
    EXPECT_EQ(*bytes, expected);
}
