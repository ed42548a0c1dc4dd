#include "results/SquadFile.h"

#include <QFile>
#include <QIODevice>
#include <QSet>
#include <QStringDecoder>
#include <QStringList>
#include <array>
#include <utility>

#include "results/CellText.h"
#include "results/Windows1252.h"

namespace norak {

namespace {

struct Record {
    int line = 0;  // where the record begins, 1-based
    QStringList fields;
};

// The text of the file, or the error that keeps it from being one.
std::optional<QString> decode(const QByteArray& bytes, SquadError& error) {
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // "Unicode text" as a well-known spreadsheet saves it: UTF-16 with its BOM.
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE);
        text = decoder.decode(bytes.mid(2));
    } else if (bytes.contains('\0')) {
        error = SquadError::Binary;
        return std::nullopt;
    } else {
        QStringDecoder decoder(QStringConverter::Utf8);
        text = decoder.decode(bytes);
        if (decoder.hasError())
            text = decodeWindows1252(bytes);  // not UTF-8, so the code page of the exports
    }
    // A text file holds no control characters but line ends and tabs; a few stray ones are
    // refused with the names they stand in, many mean the file is not text at all.
    qsizetype controls = 0;
    for (const QChar c : std::as_const(text)) {
        if (c.unicode() == 0 || (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' &&
                                 c != u'\r' && c != u'\f' && c != u'\x1A'))
            ++controls;
    }
    if (controls > 0 && (text.contains(QChar(0)) || controls * 100 > text.size())) {
        error = SquadError::Binary;
        return std::nullopt;
    }
    if (text.trimmed().isEmpty()) {
        error = SquadError::Empty;
        return std::nullopt;
    }
    return text;
}

// The separator that stands outside quotes on most lines: tab, then ";", then "," on a tie;
// a null character when none does (one name per line).
QChar detectSeparator(const QString& text) {
    const std::array<QChar, 3> candidates = {u'\t', u';', u','};
    std::array<int, 3> linesWith = {0, 0, 0};
    std::array<bool, 3> onThisLine = {false, false, false};
    bool quoted = false;
    auto endLine = [&] {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            linesWith[i] += onThisLine[i] ? 1 : 0;
            onThisLine[i] = false;
        }
    };
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u'\n') {
            endLine();
        } else if (!quoted) {
            for (std::size_t i = 0; i < candidates.size(); ++i)
                onThisLine[i] = onThisLine[i] || c == candidates[i];
        }
    }
    endLine();
    std::size_t best = 0;
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        if (linesWith[i] > linesWith[best])
            best = i;
    }
    return linesWith[best] > 0 ? candidates[best] : QChar();
}

// Records as spreadsheets write them: a field in double quotes may hold the separator, line
// breaks and doubled quotes; unquoted fields lose their surrounding blanks. Without `quoting`, a
// double quote is a character like any other.
QList<Record> splitRecords(const QString& text, QChar separator, bool quoting) {
    QList<Record> records;
    Record record;
    record.line = 1;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    int line = 1;
    auto endField = [&] {
        record.fields << (wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        records << record;
        record = Record{};
        record.line = line;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (quoting && c == u'"' && !wasQuoted && field.trimmed().isEmpty()) {
            inQuotes = true;
            wasQuoted = true;
            field.clear();
        } else if (!separator.isNull() && c == separator) {
            endField();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else if (!wasQuoted) {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.fields.isEmpty())
        endRecord();
    return records;
}

// A title as people type it: no case, no accents, no final "." or ":".
QString folded(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c.toLower();
    }
    while (out.endsWith(u'.') || out.endsWith(u':'))
        out.chop(1);
    return out.trimmed();
}

// The column a title row names the players in ("Nº;Nombre;Código" gives 1); nullopt when the
// record is no title row.
std::optional<qsizetype> headerNameColumn(const Record& record) {
    static const QSet<QString> nameTitles = {QStringLiteral("sujeto"),
                                             QStringLiteral("sujetos"),
                                             QStringLiteral("nombre"),
                                             QStringLiteral("nombres"),
                                             QStringLiteral("nombre y apellidos"),
                                             QStringLiteral("apellidos y nombre"),
                                             QStringLiteral("apellidos"),
                                             QStringLiteral("name"),
                                             QStringLiteral("names"),
                                             QStringLiteral("player"),
                                             QStringLiteral("jugador"),
                                             QStringLiteral("jugadora"),
                                             QStringLiteral("jugadores"),
                                             QStringLiteral("deportista"),
                                             QStringLiteral("deportistas"),
                                             QStringLiteral("atleta"),
                                             QStringLiteral("atletas")};
    static const QSet<QString> codeTitles = {QStringLiteral("cod"), QStringLiteral("codigo"),
                                             QStringLiteral("code"), QStringLiteral("id")};
    for (qsizetype k = 0; k < record.fields.size(); ++k) {
        if (nameTitles.contains(folded(record.fields[k])))
            return k;
    }
    if (record.fields.size() > 1 && codeTitles.contains(folded(record.fields[1])))
        return 0;
    return std::nullopt;
}

// Where the names and codes stand: after the column titles of an export ("Sujeto" followed by
// "Cod."), in any column and whatever comes before; otherwise the first two columns, after a
// title row if the first row is one (then the column it names).
struct Layout {
    qsizetype firstRecord = 0;
    qsizetype nameColumn = 0;
};

// The layout of an export of this program: after its column titles, "Sujeto" then "Cod.".
std::optional<Layout> exportLayout(const QList<Record>& records) {
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QStringList& fields = records[r].fields;
        for (qsizetype k = 0; k + 1 < fields.size(); ++k) {
            if (folded(fields[k]) == QLatin1String("sujeto") && folded(fields[k + 1]) == QLatin1String("cod"))
                return Layout{r + 1, k};
        }
    }
    return std::nullopt;
}

Layout findLayout(const QList<Record>& records) {
    if (const std::optional<Layout> exported = exportLayout(records))
        return *exported;
    Layout layout;
    while (layout.firstRecord < records.size() &&
           records[layout.firstRecord].fields.join(QString()).trimmed().isEmpty())
        ++layout.firstRecord;
    if (layout.firstRecord < records.size()) {
        if (const std::optional<qsizetype> column = headerNameColumn(records[layout.firstRecord])) {
            ++layout.firstRecord;
            layout.nameColumn = *column;
        }
    }
    return layout;
}

// The text as the table takes it: composed to NFC, refused characters out (each noted once),
// cut to the column's length.
QString cleaned(int column, const QString& raw, QString& refused, bool& cut) {
    QString kept;
    for (const uint point : raw.normalized(QString::NormalizationForm_C).toUcs4()) {
        if (isAcceptableCellCharacter(point)) {
            kept.append(QChar(static_cast<char16_t>(point)));
        } else {
            const char32_t codePoint = point;
            const QString character = QString::fromUcs4(&codePoint, 1);
            if (!refused.contains(character))
                refused += character;
        }
    }
    kept = kept.trimmed();
    cut = kept.size() > cellMaxLength(column);
    if (cut)
        kept = kept.left(cellMaxLength(column)).trimmed();
    return kept;
}

QString quotedText(const QString& text) {
    return QStringLiteral("«") + text + QStringLiteral("»");
}

// The refused characters, each in quotes; invisible ones by their code.
QString refusedList(const QString& refused) {
    QStringList parts;
    for (const uint point : refused.toUcs4()) {
        if (QChar::category(point) == QChar::Other_Control || QChar::isSpace(point))
            parts << QStringLiteral("U+%1").arg(point, 4, 16, QLatin1Char('0')).toUpper();
        else
            parts << quotedText(QString::fromUcs4(std::array<char32_t, 1>{point}.data(), 1));
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace

SquadLoad SquadFile::readFile(const QString& path, int tableRows) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SquadLoad load;
        load.error = SquadError::Unreadable;
        return load;
    }
    return read(file, tableRows);
}

SquadLoad SquadFile::read(QIODevice& device, int tableRows) {
    SquadLoad load;
    if (!device.isOpen() || !device.isReadable()) {
        load.error = SquadError::Unreadable;
        return load;
    }
    if (!device.isSequential() && device.size() > kSquadFileMaxBytes) {
        load.error = SquadError::TooLarge;
        return load;
    }
    const QByteArray bytes = device.read(kSquadFileMaxBytes + 1);
    if (bytes.size() > kSquadFileMaxBytes) {
        load.error = SquadError::TooLarge;
        return load;
    }
    if (bytes.isEmpty() && !device.isSequential() && device.size() > 0) {
        load.error = SquadError::Unreadable;
        return load;
    }
    return parse(bytes, tableRows);
}

SquadLoad SquadFile::parse(const QByteArray& bytes, int tableRows) {
    SquadLoad load;
    if (bytes.size() > kSquadFileMaxBytes) {
        load.error = SquadError::TooLarge;
        return load;
    }
    SquadError error = SquadError::Empty;
    const std::optional<QString> text = decode(bytes, error);
    if (!text) {
        load.error = error;
        return load;
    }
    // An export of this program writes every cell as it stands, never in quotes: there a double
    // quote is part of the name (a name typed as «"Txus" Pérez» must come back so, not as «Txus»).
    // Anything else is read as a spreadsheet writes it.
    QList<Record> records = splitRecords(*text, u';', false);
    if (!exportLayout(records))
        records = splitRecords(*text, detectSeparator(*text), true);
    const Layout layout = findLayout(records);
    for (qsizetype r = layout.firstRecord; r < records.size(); ++r) {
        const Record& record = records[r];
        const QString rawName = record.fields.value(layout.nameColumn);
        const QString rawCode = record.fields.value(layout.nameColumn + 1);
        if (rawName.trimmed().isEmpty() && rawCode.trimmed().isEmpty())
            continue;  // an empty line, or an unnamed row of an export
        SquadProblem base;
        base.fileLine = record.line;

        QString nameRefused;
        QString codeRefused;
        bool nameCut = false;
        bool codeCut = false;
        const QString name = cleaned(kColName, rawName, nameRefused, nameCut);
        const QString code = cleaned(kColCode, rawCode, codeRefused, codeCut);
        if (name.isEmpty()) {
            SquadProblem problem = base;
            problem.kind = SquadProblem::Kind::NoName;
            problem.text = rawName.trimmed();
            problem.refused = nameRefused;
            load.problems << problem;
            continue;
        }
        if (load.rows.size() >= tableRows) {
            SquadProblem problem = base;
            problem.kind = SquadProblem::Kind::LeftOut;
            problem.text = rawName.trimmed();
            load.problems << problem;
            continue;
        }
        load.rows << SquadRow{name, code};
        base.tableRow = int(load.rows.size());
        auto note = [&](SquadProblem::Kind kind, const QString& raw, const QString& refused) {
            SquadProblem problem = base;
            problem.kind = kind;
            problem.text = raw.trimmed();
            problem.refused = refused;
            load.problems << problem;
        };
        if (!nameRefused.isEmpty())
            note(SquadProblem::Kind::NameRefused, rawName, nameRefused);
        if (nameCut)
            note(SquadProblem::Kind::NameCut, rawName, {});
        if (!codeRefused.isEmpty())
            note(SquadProblem::Kind::CodeRefused, rawCode, codeRefused);
        if (codeCut)
            note(SquadProblem::Kind::CodeCut, rawCode, {});
    }
    if (load.rows.isEmpty()) {
        load.error = SquadError::NoPlayers;
        load.problems.clear();
    }
    return load;
}

QString SquadFile::errorText(SquadError error, const QString& fileName) {
    const QString file = quotedText(fileName);
    QString text;
    switch (error) {
        case SquadError::Unreadable:
            text = QStringLiteral("No se ha podido leer el archivo %1.").arg(file);
            break;
        case SquadError::TooLarge:
            text = QStringLiteral(
                       "El archivo %1 es demasiado grande para ser una lista de deportistas "
                       "(más de 1 MB).")
                       .arg(file);
            break;
        case SquadError::Binary:
            text = QStringLiteral("El archivo %1 no es un archivo de texto con una lista de deportistas.")
                       .arg(file);
            break;
        case SquadError::Empty:
            text = QStringLiteral("El archivo %1 está vacío.").arg(file);
            break;
        case SquadError::NoPlayers:
            text = QStringLiteral("El archivo %1 no contiene ningún nombre de deportista.").arg(file);
            break;
    }
    return text + QStringLiteral(" La tabla no se ha modificado.");
}

QString SquadFile::problemsText(const QList<SquadProblem>& problems, int tableRows) {
    if (problems.isEmpty())
        return {};
    QStringList lines;
    lines << QStringLiteral("Algunos datos del archivo no se han cargado tal como estaban:");
    for (const SquadProblem& p : problems) {
        const QString row = QStringLiteral("Fila %1: ").arg(p.tableRow);
        const QString line = QStringLiteral("Línea %1 del archivo: ").arg(p.fileLine);
        switch (p.kind) {
            case SquadProblem::Kind::NameCut:
                lines << row + QStringLiteral("el nombre %1 se ha cortado a %2 caracteres.")
                                   .arg(quotedText(p.text))
                                   .arg(kNameMaxLength);
                break;
            case SquadProblem::Kind::CodeCut:
                lines << row + QStringLiteral("el código %1 se ha cortado a %2 caracteres.")
                                   .arg(quotedText(p.text))
                                   .arg(kCodeMaxLength);
                break;
            case SquadProblem::Kind::NameRefused:
                lines << row + QStringLiteral("se han quitado del nombre %1 los caracteres no admitidos %2.")
                                   .arg(quotedText(p.text), refusedList(p.refused));
                break;
            case SquadProblem::Kind::CodeRefused:
                lines << row + QStringLiteral("se han quitado del código %1 los caracteres no admitidos %2.")
                                   .arg(quotedText(p.text), refusedList(p.refused));
                break;
            case SquadProblem::Kind::NoName:
                lines << line + (p.text.isEmpty()
                                     ? QStringLiteral("no tiene nombre; no se ha cargado.")
                                     : QStringLiteral("el nombre %1 no tiene ningún carácter admitido; no se "
                                                      "ha cargado.")
                                           .arg(quotedText(p.text)));
                break;
            case SquadProblem::Kind::LeftOut:
                lines << line + QStringLiteral("%1 no se ha cargado: la tabla tiene %2 filas.")
                                    .arg(quotedText(p.text))
                                    .arg(tableRows);
                break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace norak
