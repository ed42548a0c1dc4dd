#pragma once

#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace norak {

class ResultsTable;

// What the export file states about the test besides the table.
struct ExportHeader {
    QString editionTitle;
    QDateTime when;  // date and time of the export, read once
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    int startPeriod = 1;     // the period chosen on the configuration panel at the export
    QString startSpeedText;  // StartSpeedText, e.g. "4,2"
};

// The results export file: semicolon-separated lines for a spreadsheet, in Windows-1252 with
// CR LF after every line.
class ExportWriter {
  public:
    // The 4 + N lines of the file, without line ends. Basket rows carry the eighth value.
    static QStringList lines(const ResultsTable& table, const ExportHeader& header);
    // The bytes of the file; nullopt when a character has no place in Windows-1252.
    static std::optional<QByteArray> encode(const QStringList& lines);
    // The proposed file name: edition title + "_" + "dd-mm-yy" + ".txt".
    static QString proposedFileName(const QString& editionTitle, const QDate& date);
};

}  // namespace norak
