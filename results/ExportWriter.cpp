#include "results/ExportWriter.h"

#include "results/ResultsTable.h"
#include "results/Windows1252.h"

namespace norak {

namespace {

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

}  // namespace

QStringList ExportWriter::lines(const ResultsTable& table, const ExportHeader& header) {
    const QChar sep = QLatin1Char(';');
    const QDate date = header.when.date();
    const QTime time = header.when.time();
    const QString dateText = twoDigits(date.day()) + header.dateSeparator + twoDigits(date.month()) +
                             header.dateSeparator +
                             QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    const QString timeText = twoDigits(time.hour()) + header.timeSeparator + twoDigits(time.minute());

    QStringList out;
    out << header.editionTitle;
    out << QStringLiteral(";Fecha;Hora;Periodo Inicial;Velocidad Inicial (Km/h);");
    out << sep + dateText + sep + timeText + sep + QString::number(header.startPeriod) + sep +
               header.startSpeedText + sep;
    // The same seven titles in every edition; Basket rows carry an eighth value under none.
    out << QStringLiteral(";Nº;Sujeto;Cod.;Tiempo (mm:ss);Periodos complet.;Distancia (m);Vel. Máx. (Km/h);");
    for (int row = 1; row <= table.dataRowCount(); ++row) {
        QString line = sep;
        for (int column = 0; column < table.columnCount(); ++column)
            line += table.cell(column, row) + sep;
        out << line;
    }
    return out;
}

std::optional<QByteArray> ExportWriter::encode(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        const std::optional<QByteArray> encoded = encodeWindows1252(line);
        if (!encoded)
            return std::nullopt;
        bytes += *encoded;
        bytes += "\r\n";
    }
    return bytes;
}

QString ExportWriter::proposedFileName(const QString& editionTitle, const QDate& date) {
    return editionTitle + QLatin1Char('_') + twoDigits(date.day()) + QLatin1Char('-') +
           twoDigits(date.month()) + QLatin1Char('-') + twoDigits(date.year() % 100) + QStringLiteral(".txt");
}

}  // namespace norak
