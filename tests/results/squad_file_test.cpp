#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/ResultsTable.h"
#include "results/SquadFile.h"
#include "results/Windows1252.h"

using namespace norak;
using Kind = SquadProblem::Kind;

namespace {

QList<std::pair<QString, QString>> namesAndCodes(const SquadLoad& load) {
    QList<std::pair<QString, QString>> out;
    for (const SquadRow& row : load.rows)
        out.push_back({row.name, row.code});
    return out;
}

QByteArray cp1252(const QString& text) {
    return encodeWindows1252(text).value();
}

}  // namespace

TEST(SquadFile, AnExportOfEveryEditionLoadsBackItsNamesAndCodes) {
    for (int edition = 0; edition < kEditionCount; ++edition) {
        ResultsTable table(edition);
        // Results, a gap between named rows and a code on the last row, as after a test.
        const QStringList first = {"1", "Begoña Íñiguez", "V07", "12:40", "8", "1473", "9,0", "21,744"};
        for (int column = 0; column < table.columnCount(); ++column)
            table.setCell(column, 1, first[column]);
        table.setCell(kColName, 3, QStringLiteral("Ana-Lú Pérez O'Neill"));
        table.setCell(kColName, table.dataRowCount(), QStringLiteral("Zoë"));
        table.setCell(kColCode, table.dataRowCount(), QStringLiteral("Z-1"));
        ExportHeader header;
        header.editionTitle = editionRecord(edition).editionTitle;
        header.when = QDateTime(QDate(2026, 12, 6), QTime(19, 45));
        header.startSpeedText = QStringLiteral("4,2");
        const QByteArray bytes = ExportWriter::encode(ExportWriter::lines(table, header)).value();

        const SquadLoad load = SquadFile::parse(bytes, table.dataRowCount());
        EXPECT_FALSE(load.error) << edition;
        EXPECT_TRUE(load.problems.isEmpty()) << edition;
        const QList<std::pair<QString, QString>> expected = {
            {"Begoña Íñiguez", "V07"}, {"Ana-Lú Pérez O'Neill", ""}, {"Zoë", "Z-1"}};
        EXPECT_EQ(namesAndCodes(load), expected) << edition;
    }
}

// An export writes cells as they stand, never quoted: names typed with double quotes came back
// cut or changed (found by the fuzz target: fuzz/corpus/squad_file/crash-export-quoted-name, a
// name «"Ana María Œlde"» read back as «Ana María Œlde»).
TEST(SquadFile, AnExportKeepsTheDoubleQuotesTypedInNames) {
    ResultsTable table(kEditionZevez);
    const QStringList names = {"\"Txus\" Pérez", "\"Ana María\"", "Zoë \"la rápida\"", "\"Iñaki", "Pau\""};
    for (int row = 1; row <= names.size(); ++row)
        table.setCell(kColName, row, names[row - 1]);
    table.setCell(kColCode, 1, QStringLiteral("\"V1\""));
    ExportHeader header;
    header.editionTitle = editionRecord(kEditionZevez).editionTitle;
    header.when = QDateTime(QDate(2026, 12, 6), QTime(19, 45));
    const SquadLoad load = SquadFile::parse(ExportWriter::encode(ExportWriter::lines(table, header)).value(),
                                            table.dataRowCount());
    EXPECT_TRUE(load.problems.isEmpty());
    ASSERT_EQ(load.rows.size(), names.size());
    for (int row = 1; row <= names.size(); ++row)
        EXPECT_EQ(load.rows[row - 1].name, names[row - 1]);
    EXPECT_EQ(load.rows[0].code, QStringLiteral("\"V1\""));
}

TEST(SquadFile, SpreadsheetFilesInTheirSeparatorsAndEncodings) {
    // Comma-separated UTF-8 with a BOM, a title row, quotes around commas and doubled quotes,
    // an empty line and blanks around unquoted fields.
    const QByteArray comma =
        "\xEF\xBB\xBFNombre,C\xC3\xB3"
        "digo\r\n"
        "\"Garc\xC3\xAD"
        "a, Ana\",V07\r\n"
        "\"Luis \"\"Lucho\"\" P\xC3\xA9rez\",\r\n"
        "\r\n"
        "  Marta  , M1 \r\n";
    const QList<std::pair<QString, QString>> commaRows = {
        {"García, Ana", "V07"}, {"Luis \"Lucho\" Pérez", ""}, {"Marta", "M1"}};
    EXPECT_EQ(namesAndCodes(SquadFile::parse(comma, 12)), commaRows);

    // Tab-separated Windows-1252 (not valid UTF-8: "ñ" is the single byte F1), "Sujeto" title.
    const QByteArray tab = cp1252(QStringLiteral("Sujeto\tCod.\nIñaki Muñoz\tI1\nMaría, José\tMJ\n"));
    ASSERT_TRUE(tab.contains('\xF1'));
    const QList<std::pair<QString, QString>> tabRows = {{"Iñaki Muñoz", "I1"}, {"María, José", "MJ"}};
    EXPECT_EQ(namesAndCodes(SquadFile::parse(tab, 12)), tabRows);

    // "Unicode text" of a spreadsheet: UTF-16 little-endian with its BOM, tab-separated.
    const QString unicodeText = QStringLiteral("Name\tCode\r\nÁlex\tA9\r\n");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(unicodeText.utf16()), unicodeText.size() * 2);
    const QList<std::pair<QString, QString>> utf16Rows = {{"Álex", "A9"}};
    EXPECT_EQ(namesAndCodes(SquadFile::parse(utf16, 12)), utf16Rows);

    // A title row that puts the names in another column.
    const QList<std::pair<QString, QString>> numberedRows = {{"Pau", "P1"}};
    EXPECT_EQ(namesAndCodes(SquadFile::parse("N\xC2\xBA;Nombre;C\xC3\xB3"
                                             "digo\n7;Pau;P1\n",
                                             12)),
              numberedRows);

    // One name per line, no title, no code.
    const QList<std::pair<QString, QString>> plainRows = {{"Pau", ""}, {"Nil", ""}};
    EXPECT_EQ(namesAndCodes(SquadFile::parse("Pau\nNil", 12)), plainRows);
}

TEST(SquadFile, TypedTextRulesApplyAndEveryChangeIsTold) {
    const QByteArray file =
        "Ana;Bel,A1\n"
        "Zoe \xF0\x9F\x98\x80,Z1\n"                  // an emoji
        "\xF0\x9F\x98\x80\xF0\x9F\x98\x80,X\n"       // nothing but emoji: no name left
        ",C9\n"                                      // a code without a name
        "Maximiliano de la Fuente Ortega,ABCDEFG\n"  // 31 and 7 characters
        "Tab\tin name,\xE2\x82\xAC"
        "1\n";  // a control character; the euro sign is fine
    const SquadLoad load = SquadFile::parse(file, 12);
    ASSERT_FALSE(load.error);
    const QList<std::pair<QString, QString>> rows = {
        {"AnaBel", "A1"}, {"Zoe", "Z1"}, {"Maximiliano de la Fu", "ABCDE"}, {"Tabin name", "€1"}};
    EXPECT_EQ(namesAndCodes(load), rows);
    for (const SquadRow& row : load.rows) {
        EXPECT_TRUE(isAcceptableCellText(kColName, row.name)) << row.name.toStdString();
        EXPECT_TRUE(isAcceptableCellText(kColCode, row.code)) << row.code.toStdString();
    }

    ASSERT_EQ(load.problems.size(), 7);
    EXPECT_EQ(load.problems[0].kind, Kind::NameRefused);
    EXPECT_EQ(load.problems[0].tableRow, 1);
    EXPECT_EQ(load.problems[0].refused, QStringLiteral(";"));
    EXPECT_EQ(load.problems[1].kind, Kind::NameRefused);
    EXPECT_EQ(load.problems[2].kind, Kind::NoName);
    EXPECT_EQ(load.problems[2].fileLine, 3);
    EXPECT_EQ(load.problems[3].kind, Kind::NoName);
    EXPECT_EQ(load.problems[3].fileLine, 4);
    EXPECT_EQ(load.problems[4].kind, Kind::NameCut);
    EXPECT_EQ(load.problems[4].tableRow, 3);
    EXPECT_EQ(load.problems[5].kind, Kind::CodeCut);
    EXPECT_EQ(load.problems[6].kind, Kind::NameRefused);

    const QString message = SquadFile::problemsText(load.problems, 12);
    EXPECT_EQ(message.count(QLatin1Char('\n')), 7);  // a first line, then one line per problem
    EXPECT_TRUE(message.contains(QStringLiteral("Fila 1: se han quitado del nombre «Ana;Bel»")));
    EXPECT_TRUE(message.contains(QStringLiteral("«😀»")));
    EXPECT_TRUE(message.contains(QStringLiteral("Línea 4 del archivo: no tiene nombre")));
    EXPECT_TRUE(message.contains(QStringLiteral("se ha cortado a 20 caracteres")));
    EXPECT_TRUE(message.contains(QStringLiteral("se ha cortado a 5 caracteres")));
    EXPECT_TRUE(message.contains(QStringLiteral("U+0009")));
    EXPECT_TRUE(SquadFile::problemsText({}, 12).isEmpty());
}

TEST(SquadFile, MorePlayersThanRowsLoadsTheFirst) {
    QByteArray file = "Nombre;Cod.\n";
    for (int i = 1; i <= 15; ++i)
        file += "Jugador " + QByteArray::number(i) + ";J" + QByteArray::number(i) + "\n";
    for (const int rows : {12, 14}) {
        const SquadLoad load = SquadFile::parse(file, rows);
        ASSERT_EQ(load.rows.size(), rows);
        EXPECT_EQ(load.rows.back().name, QStringLiteral("Jugador %1").arg(rows));
        ASSERT_EQ(load.problems.size(), 15 - rows);
        EXPECT_EQ(load.problems.front().kind, Kind::LeftOut);
        EXPECT_EQ(load.problems.front().fileLine, rows + 2);
        EXPECT_TRUE(
            SquadFile::problemsText(load.problems, rows)
                .contains(
                    QStringLiteral("«Jugador 15» no se ha cargado: la tabla tiene %1 filas.").arg(rows)));
    }
}

TEST(SquadFile, FilesThatHoldNoPlayersAreRefused) {
    EXPECT_EQ(SquadFile::parse("", 12).error, SquadError::Empty);
    EXPECT_EQ(SquadFile::parse(" \r\n\r\n\t", 12).error, SquadError::Empty);
    EXPECT_EQ(SquadFile::parse("Nombre;Código\r\n", 12).error, SquadError::NoPlayers);
    // A picture, and bytes with control characters but no zero byte.
    EXPECT_EQ(SquadFile::parse(QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), 12).error,
              SquadError::Binary);
    QByteArray noise;
    for (int i = 0; i < 600; ++i)
        noise += char(1 + (i * 37) % 255);
    EXPECT_EQ(SquadFile::parse(noise, 12).error, SquadError::Binary);

    const QString text = SquadFile::errorText(SquadError::Binary, QStringLiteral("foto.png"));
    EXPECT_TRUE(text.contains(QStringLiteral("«foto.png»")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("La tabla no se ha modificado.")));
}

TEST(SquadFile, ALargeFileIsRefusedBeforeItIsRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("grande.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(50LL * 1024 * 1024));  // sparse: costs no disk
    file.seek(0);
    EXPECT_EQ(SquadFile::read(file, 12).error, SquadError::TooLarge);
    EXPECT_EQ(file.pos(), 0);

    // In memory, over the limit by a few bytes.
    QByteArray big(kSquadFileMaxBytes + 10, 'a');
    QBuffer stream(&big);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    EXPECT_EQ(SquadFile::read(stream, 12).error, SquadError::TooLarge);

    QFile closed(dir.filePath(QStringLiteral("no-existe.csv")));
    EXPECT_EQ(SquadFile::read(closed, 12).error, SquadError::Unreadable);
    EXPECT_EQ(SquadFile::readFile(closed.fileName(), 12).error, SquadError::Unreadable);
    EXPECT_EQ(SquadFile::readFile(file.fileName(), 12).error, SquadError::TooLarge);

    QByteArray small("Ana;A1\r\n");
    QBuffer smallStream(&small);
    ASSERT_TRUE(smallStream.open(QIODevice::ReadOnly));
    EXPECT_EQ(SquadFile::read(smallStream, 12).rows.size(), 1);
}
