// Writes the seed corpora of the fuzz targets (fuzz/corpus/<target>/seed-*) with the program's own
// writers: exports of every edition by ExportWriter, journals by Journal::write (a made-up test's
// states, as the journal's crash test plays them), squad files as spreadsheets save them in their
// encodings and separators, the signal sound from the resources, and damaged copies of each.
// Run by hand when a format changes: fuzz_make_seeds <source folder>. Inputs that once found a
// fault (crash-*, property-*) are never written here: they stay as they were found.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/Journal.h"
#include "results/ResultsTable.h"
#include "results/Windows1252.h"
#include "support/SimulatedTest.h"

using namespace norak;

namespace {

QString g_corpus;

void put(const QString& target, const QString& name, const QByteArray& bytes) {
    const QString folder = g_corpus + QLatin1Char('/') + target;
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/seed-") + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

// The damaged copies a file may become: cut short, and with bits flipped at fixed places.
void putDamaged(const QString& target, const QString& name, const QByteArray& bytes) {
    put(target, name + QStringLiteral("-cut-half"), bytes.left(bytes.size() / 2));
    put(target, name + QStringLiteral("-cut-last"), bytes.chopped(1));
    QByteArray flipped = bytes;
    QRandomGenerator random(qHash(name));
    for (int n = 0; n < 3 && !flipped.isEmpty(); ++n)
        flipped[random.bounded(int(flipped.size()))] ^= char(1 << random.bounded(8));
    put(target, name + QStringLiteral("-flipped"), flipped);
}

const QStringList kNames = {QStringLiteral("Begoña Ibáñez"),
                            QStringLiteral("Iñaki Olaño"),
                            QStringLiteral("Zoë \"la rápida\""),
                            QStringLiteral("José-Luis Ñúñez"),
                            QStringLiteral("Ana María Œlde"),
                            QStringLiteral("Txus O'Neill"),
                            QStringLiteral("Lucía"),
                            QStringLiteral("Marta Pérez García"),
                            QStringLiteral("€uro Team"),
                            QStringLiteral("Sara"),
                            QStringLiteral("Nerea Etxeberria"),
                            QStringLiteral("Elena"),
                            QStringLiteral("Paula"),
                            QStringLiteral("Irene")};

// A table of an edition with names, codes and the results of a stopped test.
void fillTable(ResultsTable& table) {
    for (int row = 1; row <= table.dataRowCount(); ++row) {
        if (row == 3)
            continue;  // an unnamed row between named ones
        table.setCell(kColNumber, row, QString::number(row));
        table.setCell(kColName, row, kNames[(row - 1) % kNames.size()].left(kNameMaxLength));
        table.setCell(kColCode, row, QStringLiteral("V%1").arg(row, 2, 10, QLatin1Char('0')));
        table.setCell(kColTime, row, QStringLiteral("0%1:%2").arg(row % 10).arg(10 + row));
        table.setCell(kColPeriods, row, QString::number(row % 4));
        table.setCell(kColDistance, row, QString::number(100 + 37 * row));
        table.setCell(kColSpeed, row, QStringLiteral("7,%1").arg(row % 10));
    }
}

ExportHeader exportHeader(int edition) {
    ExportHeader header;
    header.editionTitle = editionRecord(edition).editionTitle;
    header.when = QDateTime(QDate(2026, 12, 7), QTime(18, 35));
    header.startPeriod = 4;
    header.startSpeedText = nominalSpeedText(4);
    return header;
}

QByteArray exportOf(int edition, bool withResults, const ExportHeader& header) {
    ResultsTable table(edition);
    fillTable(table);
    if (!withResults) {
        for (int row = 1; row <= table.dataRowCount(); ++row) {
            for (int column = kColTime; column < table.columnCount(); ++column)
                table.setCell(column, row, QString());
        }
    }
    return ExportWriter::encode(ExportWriter::lines(table, header)).value();
}

QByteArray exportOf(int edition, bool withResults) {
    return exportOf(edition, withResults, exportHeader(edition));
}

// A squad list as a spreadsheet saves it: a title row, then name and code.
QString squadText(QChar separator, bool quoted, const QString& lineEnd) {
    const QString q = quoted ? QStringLiteral("\"") : QString();
    QString text = q + QStringLiteral("Nombre") + q + separator + q + QStringLiteral("Código") + q + lineEnd;
    for (int n = 0; n < 10; ++n) {
        QString name = kNames[n];
        if (quoted)
            name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        else
            name.remove(QLatin1Char('"'));
        text += q + name + q + separator + q + QStringLiteral("C%1").arg(n) + q + lineEnd;
    }
    if (quoted)  // a field holding the separator and a line break, as spreadsheets allow
        text += QStringLiteral("\"Pérez%1 Ana\nMaría\"%1X1").arg(separator) + lineEnd;
    return text;
}

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding, bool bom) {
    QStringEncoder encoder(encoding,
                           bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

void squadSeeds() {
    const QString target = QStringLiteral("squad_file");
    for (int edition = 0; edition < kEditionCount; ++edition) {
        const QByteArray bytes = exportOf(edition, true);
        put(target, QStringLiteral("export-edition%1.txt").arg(edition), bytes);
        putDamaged(target, QStringLiteral("export-edition%1.txt").arg(edition), bytes);
    }
    put(target, QStringLiteral("export-names-only.txt"), exportOf(kEditionZevez, false));
    const QString crlf = QStringLiteral("\r\n");
    put(target, QStringLiteral("utf8-semicolon.csv"),
        encoded(squadText(u';', false, crlf), QStringConverter::Utf8, false));
    put(target, QStringLiteral("utf8-bom-comma-quoted.csv"),
        encoded(squadText(u',', true, crlf), QStringConverter::Utf8, true));
    put(target, QStringLiteral("utf16le-bom-tab.txt"),
        encoded(squadText(u'\t', false, crlf), QStringConverter::Utf16LE, true));
    put(target, QStringLiteral("utf16le-bom-tab-quoted.txt"),
        encoded(squadText(u'\t', true, crlf), QStringConverter::Utf16LE, true));
    put(target, QStringLiteral("utf16be-bom-semicolon.txt"),
        encoded(squadText(u';', false, crlf), QStringConverter::Utf16BE, true));
    const QString cp1252Text = squadText(u';', true, crlf);
    put(target, QStringLiteral("cp1252-semicolon-quoted.csv"), encodeWindows1252(cp1252Text).value());
    put(target, QStringLiteral("utf8-comma-lf.csv"),
        encoded(squadText(u',', false, QStringLiteral("\n")), QStringConverter::Utf8, false));
    // One name per line and no title; more names than any table has rows; a refused character.
    QString plain;
    for (int n = 0; n < 16; ++n)
        plain += kNames[n % kNames.size()] + QStringLiteral(" %1\n").arg(n);
    plain += QStringLiteral("Ana;\tBeñat\x01\n");
    put(target, QStringLiteral("utf8-names-only-too-many.txt"), plain.toUtf8());
    putDamaged(target, QStringLiteral("utf16le-bom-tab.txt"),
               encoded(squadText(u'\t', false, crlf), QStringConverter::Utf16LE, true));
}

// Exports of past years as the history's import finds them in a folder: every edition, other
// separators of the laptop's locale, names only, and the same files damaged or saved again in
// another encoding by an editor.
void historySeeds() {
    const QString target = QStringLiteral("history_import");
    for (int edition = 0; edition < kEditionCount; ++edition) {
        const QByteArray bytes = exportOf(edition, true);
        const QString name = QStringLiteral("export-edition%1.txt").arg(edition);
        put(target, name, bytes);
        putDamaged(target, name, bytes);
        const QString text = decodeWindows1252(bytes);
        put(target, QStringLiteral("export-edition%1-utf8.txt").arg(edition), text.toUtf8());
    }
    ExportHeader header = exportHeader(kEditionBasket);
    header.when = QDateTime(QDate(2019, 2, 28), QTime(7, 5));
    header.dateSeparator = QLatin1Char('-');
    header.timeSeparator = QLatin1Char('.');
    header.startPeriod = 11;
    header.startSpeedText = nominalSpeedText(11);
    put(target, QStringLiteral("export-basket-dash-dot.txt"), exportOf(kEditionBasket, true, header));
    put(target, QStringLiteral("export-names-only.txt"), exportOf(kEditionZevez, false));
    const QString futbol = decodeWindows1252(exportOf(kEditionFutbol, true));
    put(target, QStringLiteral("export-edition1-utf16le.txt"),
        encoded(futbol, QStringConverter::Utf16LE, true));
    put(target, QStringLiteral("export-edition1-lf.txt"),
        encodeWindows1252(QString(futbol).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))).value());
    put(target, QStringLiteral("squad-not-an-export.csv"),
        encoded(squadText(u';', false, QStringLiteral("\r\n")), QStringConverter::Utf8, false));
}

QByteArray journalFile(const Journal& journal) {
    QFile file(journal.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no journal written in %s\n", qPrintable(journal.folder()));
        std::exit(1);
    }
    return file.readAll();
}

void journalSeeds() {
    const QString target = QStringLiteral("journal");
    QTemporaryDir folder;
    // A made-up test of the volleyball edition, at a few of its states.
    Journal zevez(kEditionZevez, folder.path());
    const QList<JournalState> states = simulatedStates(7, 60);
    for (const int n : {1, 12, 35, 60}) {
        if (zevez.write(states[n]) != Journal::WriteResult::Written)
            std::exit(1);
        put(target, QStringLiteral("zevez-state%1.journal").arg(n), journalFile(zevez));
    }
    putDamaged(target, QStringLiteral("zevez-state60.journal"), journalFile(zevez));
    // Every edition's table after a test, started and stopped.
    for (int edition = 0; edition < kEditionCount; ++edition) {
        ResultsTable table(edition);
        fillTable(table);
        JournalState state;
        state.takeTable(table);
        state.mode = TestMode::Esfuerzo;
        state.startPeriod = 4;
        state.startSpeedText = nominalSpeedText(4);
        state.startedAt = QDateTime(QDate(2026, 3, 29), QTime(1, 59, 58, 250));
        state.stoppedAt = QDateTime(QDate(2026, 3, 29), QTime(3, 12, 5, 7));
        Journal journal(edition, folder.path() + QStringLiteral("/e%1").arg(edition));
        if (journal.write(state) != Journal::WriteResult::Written)
            std::exit(1);
        const QByteArray bytes = journalFile(journal);
        put(target, QStringLiteral("edition%1.journal").arg(edition), bytes);
        // Its content alone: the fuzz target gives it a right magic line and checksum.
        const qsizetype bodyAt = bytes.indexOf('\n') + 1;
        put(target, QStringLiteral("edition%1.content").arg(edition),
            bytes.mid(bodyAt, bytes.lastIndexOf("\nSHA1 ") - bodyAt + 1));
    }
}

QByteArray resource(const QString& sourceDir, const QString& path) {
    QFile file(sourceDir + QLatin1Char('/') + path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    return file.readAll();
}

void wavSeeds(const QString& sourceDir) {
    const QString target = QStringLiteral("wav_decoder");
    const QByteArray sound = resource(sourceDir, QStringLiteral("assets/sound/sonido.wav"));
    put(target, QStringLiteral("sonido.wav"), sound);
    putDamaged(target, QStringLiteral("sonido.wav"), sound);
    // The same header over a few samples, then the header's fields changed one at a time.
    const QByteArray small = sound.left(44 + 64);
    QByteArray shortData = small;
    qToLittleEndian<quint32>(64, shortData.data() + 40);
    put(target, QStringLiteral("sonido-64-samples.wav"), shortData);
    auto withField = [&](const char* name, int offset, quint32 value, int bytes) {
        QByteArray changed = shortData;
        if (bytes == 2)
            qToLittleEndian<quint16>(quint16(value), changed.data() + offset);
        else
            qToLittleEndian<quint32>(value, changed.data() + offset);
        put(target, QString::fromLatin1(name), changed);
    };
    withField("stereo.wav", 22, 2, 2);
    withField("16-bit.wav", 34, 16, 2);
    withField("rate-44100.wav", 24, 44100, 4);
    withField("rate-1.wav", 24, 1, 4);
    withField("data-size-huge.wav", 40, 0xFFFFFFF0u, 4);
    withField("fmt-size-odd.wav", 16, 17, 4);
    withField("not-pcm.wav", 20, 3, 2);
}

void periodSeeds() {
    const QString target = QStringLiteral("period_line");
    for (int edition = 0; edition < kEditionCount; ++edition) {
        const QStringList table = sourcePeriodTable(edition);
        put(target, QStringLiteral("edition%1-first").arg(edition), table.first().toUtf8());
        put(target, QStringLiteral("edition%1-last").arg(edition), table.last().toUtf8());
    }
    // Edits a test master makes while a test runs.
    const QStringList edits = {QStringLiteral(" 2000 "), QStringLiteral("0"),    QStringLiteral("4x14"),
                               QStringLiteral("-5"),     QStringLiteral("+500"), QStringLiteral("1,5"),
                               QStringLiteral("1e3"),    QStringLiteral("123"),  QStringLiteral("00951")};
    for (int n = 0; n < edits.size(); ++n)
        put(target, QStringLiteral("edit%1").arg(n), edits[n].toUtf8());
}

void cellSeeds() {
    const QString target = QStringLiteral("cell_text");
    for (int n = 0; n < kNames.size(); ++n)
        put(target, QStringLiteral("name%1").arg(n), kNames[n].toUtf8());
    // A line of an export pasted into a cell, and a name with a combining accent and a tab.
    put(target, QStringLiteral("export-line"), QByteArrayLiteral(";1;Ana;V01;05:12;2;452;7,2;"));
    put(target, QStringLiteral("combining"), QStringLiteral("Nun\u0303ez\tO\u0308").toUtf8());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SOURCE-FOLDER\n", argv[0]);
        return 2;
    }
    const QString sourceDir = QString::fromLocal8Bit(argv[1]);
    g_corpus = sourceDir + QStringLiteral("/fuzz/corpus");
    squadSeeds();
    historySeeds();
    journalSeeds();
    wavSeeds(sourceDir);
    periodSeeds();
    cellSeeds();
    return 0;
}
