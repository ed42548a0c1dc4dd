#pragma once

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace norak {

// One row of a stored test: the cells as the table showed them, and the values as numbers for
// the history's figures. A number is absent where the cell is empty or is no number.
struct StoredRow {
    int row = 0;        // data row of the table (1 ... N)
    QStringList cells;  // Nº, Sujeto, Cod., time, periods, distance, speed [, VO2max]
    std::optional<int> seconds;
    std::optional<int> periods;
    std::optional<qint64> metres;
    std::optional<double> speedKmh;
    std::optional<double> vo2max;
    QString playerUuid;  // filled when read back from the history; empty for a row without a name
    // The player's warnings in the test, each as its period and signal ("P4·12"), and whether
    // the warning rule put the player out (none for an imported file).
    QStringList warnings;
    bool outByWarnings = false;

    QString name() const;
    QString code() const;
    // Fills the numbers from the cells.
    void computeNumbers();
    friend bool operator==(const StoredRow&, const StoredRow&) = default;
};

// One test as the history keeps it. A test run stores every field; an imported export file has
// no mode, warm-up, sound output, timing figures or period table (those stay empty).
struct StoredTest {
    QString uuid;  // identity across laptops
    int edition = 0;
    QString editionTitle;
    QString periodTableFingerprint;  // hex SHA-256 of the period table run; empty when unknown
    QDateTime startedAt;             // local date and time; an export's own for an imported file
    QDateTime stoppedAt;             // invalid when unknown
    std::optional<int> mode;         // TestMode as a number
    int startPeriod = 1;
    QString startSpeedText;
    std::optional<bool> warmUp;
    QString soundOutput;
    std::optional<int> signalsGiven;
    std::optional<qint64> latenessP50Ms;
    std::optional<qint64> latenessP99Ms;
    std::optional<qint64> latenessMaxMs;
    // The export's conventions of the laptop, so that the test is written again byte for byte.
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    int tableRows = 0;          // N, the table's data rows
    QString sourceFingerprint;  // hex SHA-256 of an imported file; empty for a test run here
    QList<StoredRow> rows;      // every row holding anything, in table order

    // At least one row has a name: only then is a test stored.
    bool hasNamedRow() const;
    friend bool operator==(const StoredTest&, const StoredTest&) = default;
};

// The fingerprint of a period table: hex SHA-256 of its lines joined by "\n".
QString periodTableFingerprint(const QStringList& lines);
// Hex SHA-256 of bytes.
QString contentFingerprint(const QByteArray& bytes);

}  // namespace norak
