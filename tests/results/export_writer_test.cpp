#include <gtest/gtest.h>

#include <QFile>

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/ResultsTable.h"
#include "results/Windows1252.h"

using namespace norak;

namespace {

ExportHeader headerFor(const QString& title) {
    ExportHeader header;
    header.editionTitle = title;
    header.when = QDateTime(QDate(2026, 12, 6), QTime(19, 45, 59));
    header.startPeriod = 3;
    header.startSpeedText = QStringLiteral("5,4");
    return header;
}

void fillRow(ResultsTable& table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column)
        table.setCell(column, row, cells[column]);
}

QByteArray repeated(const QByteArray& line, int times) {
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += line;
    return out;
}

}  // namespace

TEST(ExportWriter, ZevezFileByteForByte) {
    ResultsTable table(kEditionZevez);
    fillRow(table, 1, {"1", "Begoña", "V07", "12:40", "8", "1473", "9,0"});
    fillRow(table, 3, {"", "Íñigo", "", "", "", "", ""});
    const std::optional<QByteArray> bytes =
        ExportWriter::encode(ExportWriter::lines(table, headerFor("NORAK-Zevez")));
    ASSERT_TRUE(bytes);

    // Written out by hand: "º" is BA, "á" E1, "ñ" F1, "Í" CD; every line ends in CR LF.
    const QByteArray expected =
        "NORAK-Zevez\r\n"
        ";Fecha;Hora;Periodo Inicial;Velocidad Inicial (Km/h);\r\n"
        ";06/12/2026;19:45;3;5,4;\r\n"
        ";N\xBA;Sujeto;Cod.;Tiempo (mm:ss);Periodos complet.;Distancia (m);Vel. M\xE1x. (Km/h);\r\n"
        ";1;Bego\xF1"
        "a;V07;12:40;8;1473;9,0;\r\n"
        ";;;;;;;;\r\n"
        ";;\xCD\xF1igo;;;;;;\r\n" +
        repeated(";;;;;;;;\r\n", 9);
    EXPECT_EQ(*bytes, expected);
    EXPECT_EQ(bytes->count('\n'), 16);
}

TEST(ExportWriter, BasketCarriesTheEighthValue) {
    ResultsTable table(kEditionBasket);
    fillRow(table, 2, {"2", "Pau", "B1", "08:00", "4", "1000", "10,2", "15,595"});
    ExportHeader header = headerFor(QStringLiteral("NORAK-Basket 2.0"));
    header.dateSeparator = QLatin1Char('.');
    header.timeSeparator = QLatin1Char('.');
    header.when = QDateTime(QDate(2027, 1, 2), QTime(7, 5));
    header.startPeriod = 1;
    header.startSpeedText = QStringLiteral("8,0");
    const std::optional<QByteArray> bytes = ExportWriter::encode(ExportWriter::lines(table, header));
    ASSERT_TRUE(bytes);

    const QByteArray expected =
        "NORAK-Basket 2.0\r\n"
        ";Fecha;Hora;Periodo Inicial;Velocidad Inicial (Km/h);\r\n"
        ";02.01.2027;07.05;1;8,0;\r\n"
        ";N\xBA;Sujeto;Cod.;Tiempo (mm:ss);Periodos complet.;Distancia (m);Vel. M\xE1x. (Km/h);\r\n"
        ";;;;;;;;;\r\n"
        ";2;Pau;B1;08:00;4;1000;10,2;15,595;\r\n" +
        repeated(";;;;;;;;;\r\n", 10);
    EXPECT_EQ(*bytes, expected);
    // Nine separators on an athlete line, eight on the title line.
    const QList<QByteArray> lines = bytes->split('\n');
    EXPECT_EQ(lines[3].count(';'), 8);
    EXPECT_EQ(lines[5].count(';'), 9);
    EXPECT_EQ(lines.size() - 1, 16);
}

TEST(ExportWriter, FourteenRowEditionsHaveEighteenLines) {
    ResultsTable table(kEditionFutbol);
    const QStringList lines = ExportWriter::lines(table, headerFor(QStringLiteral("NORAK-Fútbol 2.0")));
    EXPECT_EQ(lines.size(), 18);
    const std::optional<QByteArray> bytes = ExportWriter::encode(lines);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->startsWith("NORAK-F\xFAtbol 2.0\r\n"));
}

TEST(ExportWriter, ProposedFileName) {
    EXPECT_EQ(ExportWriter::proposedFileName(QStringLiteral("NORAK-Zevez"), QDate(2026, 12, 6)),
              QStringLiteral("NORAK-Zevez_06-12-26.txt"));
    EXPECT_EQ(ExportWriter::proposedFileName(QStringLiteral("NORAK-Basket 2.0"), QDate(2030, 1, 9)),
              QStringLiteral("NORAK-Basket 2.0_09-01-30.txt"));
}

TEST(Windows1252, EncodingThroughIconv) {
    EXPECT_EQ(encodeWindows1252(QStringLiteral("ºáñ€…")), QByteArray("\xBA\xE1\xF1\x80\x85"));
    EXPECT_EQ(encodeWindows1252(QString()), QByteArray());
    EXPECT_FALSE(encodeWindows1252(QStringLiteral("Łukasz")));
    EXPECT_FALSE(encodeWindows1252(QStringLiteral("a😀")));
    EXPECT_FALSE(encodeWindows1252(QString(QChar(0xDC00))));
    // A line that cannot be encoded makes no file at all.
    EXPECT_FALSE(ExportWriter::encode({QStringLiteral("ok"), QStringLiteral("Ω")}));
    EXPECT_TRUE(isWindows1252Character(U'ÿ'));
    EXPECT_TRUE(isWindows1252Character(U'Ž'));
    EXPECT_FALSE(isWindows1252Character(U'Ā'));
    EXPECT_FALSE(isWindows1252Character(0x1F600));
}

// Writes a sample export for tools/check_export_libreoffice.sh; run only on request, with the
// target file in NORAK_EXPORT_SAMPLE.
TEST(ExportWriter, DISABLED_WriteSampleForSpreadsheetCheck) {
    const QString path = qEnvironmentVariable("NORAK_EXPORT_SAMPLE");
    ASSERT_FALSE(path.isEmpty()) << "set NORAK_EXPORT_SAMPLE";
    ResultsTable table(kEditionBasket);
    fillRow(table, 1, {"1", "Begoña Núñez", "V07", "12:40", "8", "1473", "9,0", "21,744"});
    fillRow(table, 2, {"2", "Íñigo", "ª1", "03:05", "0", "96", "4,2", "3,843"});
    fillRow(table, 12, {"", "Zoë"});
    ExportHeader header = headerFor(QStringLiteral("NORAK-Basket 2.0"));
    const std::optional<QByteArray> bytes = ExportWriter::encode(ExportWriter::lines(table, header));
    ASSERT_TRUE(bytes);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(*bytes), bytes->size());
}
