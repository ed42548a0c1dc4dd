#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ReportData.h"
#include "results/ResultsTable.h"
#include "shell/ReportDocument.h"
#include "support/SessionHarness.h"

using namespace norak;
using norak::testing::SessionHarness;

namespace {

// The program's output; nullopt when it failed.
std::optional<QString> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A test from period 3: Pau drops out first, then two players at once every `dropoutEveryMs`,
// and Stop records the players still running. Six players of the build's edition by default.
struct SimulatedRun {
    explicit SimulatedRun(int edition = kEditionZevez, int players = 6, qint64 dropoutEveryMs = 170000)
        : h(edition), table(edition), roster(table) {
        const QStringList names = {"Begoña Íñiguez", "Pau Ferrer",       "Lucía Martín", "Ana-Lú O'Neill",
                                   "Iker Zubia",     "María José Núñez", "Nerea Goñi",   "Xabier Etxeberria",
                                   "Sara Ruiz",      "Paula Vidal",      "Elena Castro", "Marta Sáez",
                                   "Irene Solís",    "Noa Lago"};
        for (int i = 0; i < players; ++i) {
            table.setCell(kColName, i + 1, names[i]);
            table.setCell(kColCode, i + 1, QStringLiteral("V%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        }
        h.start(TestMode::Esfuerzo, 3, false);
        roster.activateAthleteButtons();
        h.runFor(dropoutEveryMs + 30000);
        roster.dropout(2, values());
        for (int athlete = 5; athlete + 1 <= players; athlete += 2) {
            h.runFor(dropoutEveryMs);
            roster.dropout(athlete, values());
            roster.dropout(athlete + 1, values());  // the same moment: the same distance
        }
        h.runFor(dropoutEveryMs + 130000);
        h.session.stop();
        roster.recordRemainingAthletes(values());

        ReportSettings settings;
        settings.mode = TestMode::Esfuerzo;
        settings.startPeriod = h.session.startPeriod();
        settings.startSpeedText = h.session.StartSpeedText();
        settings.soundOutput = QStringLiteral("Salida de prueba");
        data = ReportData::compute(table, h.session.timingRecord(), settings);
    }

    LiveValues values() const {
        const DisplayState& d = h.session.display();
        return {d.clockText,     d.periodText,    d.distanceText, d.speedText, h.session.startPeriod(),
                table.edition(), QLatin1Char(',')};
    }

    SessionHarness h;
    ResultsTable table;
    AthleteRoster roster;
    ReportData data;
};

}  // namespace

TEST(ReportDocument, ThePdfHoldsEveryRowAndFigureAndTheBarsInOrder) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    const SimulatedRun simulated;
    const ReportData& data = simulated.data;
    ASSERT_EQ(data.rows.size(), 6);
    ASSERT_EQ(data.bars.size(), 6);
    ASSERT_GE(data.recoveries.size(), 2);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("NORAK-Zevez_08-12-26.pdf"));
    const QByteArray pdf = ReportDocument::pdf(data);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(pdf);
    }
    if (const QString keep = qEnvironmentVariable("NORAK_REPORT_OUT"); !keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(path, keep);
    }

    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}).value_or(QString());
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains(QStringLiteral("NORAK-Zevez")));
    EXPECT_TRUE(text.contains(QStringLiteral("Voleibol")));
    EXPECT_TRUE(text.contains(data.startDateText()));
    EXPECT_TRUE(text.contains(data.startTimeText()));
    for (const QList<ReportFigure>& figures :
         {data.testFigures(), data.groupFigures(), data.timingFigures(), data.recoveryFigures()}) {
        for (const ReportFigure& figure : figures) {
            EXPECT_TRUE(text.contains(figure.label, Qt::CaseInsensitive)) << figure.label.toStdString();
            EXPECT_TRUE(text.contains(figure.value)) << figure.value.toStdString();
        }
    }
    // Every cell of every named row, as the table shows it.
    const QString words = text.simplified();
    for (const QStringList& row : data.rows) {
        for (const QString& cell : row)
            EXPECT_TRUE(words.contains(cell)) << cell.toStdString();
    }

    // The chart, read in reading order: its names from the longest distance down.
    const QString layout =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
            .value_or(QString());
    const qsizetype chart = layout.indexOf(QStringLiteral("Distancia por deportista"));
    const qsizetype chartEnd = layout.indexOf(QStringLiteral("Grupo"), chart);
    ASSERT_GT(chart, 0);
    ASSERT_GT(chartEnd, chart);
    qsizetype previous = chart;
    for (const ReportData::Bar& bar : data.bars) {
        const qsizetype at = layout.indexOf(bar.name, previous);
        EXPECT_GT(at, previous) << bar.name.toStdString();
        EXPECT_LT(at, chartEnd) << bar.name.toStdString();
        previous = at;
        // Its end shows the distance and the completed periods.
        const QString line = layout.mid(at, layout.indexOf(QLatin1Char('\n'), at) - at);
        EXPECT_TRUE(line.contains(QString::number(bar.distance) + QStringLiteral(" m")))
            << line.toStdString();
        EXPECT_TRUE(line.contains(bar.periods + QStringLiteral(" periodo"))) << line.toStdString();
    }

    // It renders, on one page, in the edition's color at the top.
    ASSERT_TRUE(
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                                         path, dir.filePath(QStringLiteral("page"))}));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("page-2.png"))));
    QImage page(dir.filePath(QStringLiteral("page-1.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(double(page.width()) / page.height(), 210.0 / 297.0, 0.01);
    const QColor band = page.pixelColor(page.width() / 2, 3);
    const Rgb main = editionRecord(kEditionZevez).colorMain;
    EXPECT_NEAR(band.red(), main.r, 3);
    EXPECT_NEAR(band.green(), main.g, 3);
    EXPECT_NEAR(band.blue(), main.b, 3);
}

TEST(ReportDocument, AFullTableOfFourteenPrintsOnOnePage) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    // Fourteen players of a 14-row edition over a long test: the fullest page there is.
    const SimulatedRun simulated(kEditionFutbol, 14, 120000);
    ASSERT_EQ(simulated.data.bars.size(), 14);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    ASSERT_TRUE(ReportDocument::print(simulated.data, printer));
    if (const QString keep = qEnvironmentVariable("NORAK_PRINTED_OUT"); !keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(printer.outputFileName(), keep);
    }
    const QString text =
        run(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("printed.pdf")), QStringLiteral("-")})
            .value_or(QString());
    for (const QStringList& row : simulated.data.rows)
        EXPECT_TRUE(text.contains(row[kColName])) << row[kColName].toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Registro de tiempos")));
    EXPECT_TRUE(text.contains(simulated.data.recoveryFigures().back().value));
    EXPECT_EQ(text.count(QLatin1Char('\f')), 1);  // one page
}

// The warnings' section on the fullest page: fourteen players warned three times each, the rule
// in force, and still one page.
TEST(ReportDocument, TheWarningsAndTheirRuleOnTheFullestPage) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    SimulatedRun simulated(kEditionFutbol, 14, 120000);
    QList<Warning> warnings;
    for (int athlete = 1; athlete <= 14; ++athlete) {
        for (int leg = 1; leg <= 3; ++leg)
            warnings << Warning{athlete, simulated.data.rows[athlete - 1][kColName],
                                0,       leg * 5,
                                3u,      leg * 5,
                                1,       athlete % 2 == 0 && leg == 3};
    }
    const WarningRule rule{3, false, true};
    simulated.data.addWarnings(warnings, rule);
    ASSERT_EQ(simulated.data.warnings.size(), 14);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("warnings.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ReportDocument::pdf(simulated.data));
    file.close();
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
            .value_or(QString());
    EXPECT_TRUE(text.contains(rule.text())) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("3: P3·5, P3·10, P3·15 (retirado)")));
    EXPECT_TRUE(text.contains(QStringLiteral("14 Noa Lago")));
    EXPECT_EQ(text.count(QLatin1Char('\f')), 1);
}
