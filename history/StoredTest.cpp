#include "history/StoredTest.h"

#include <QCryptographicHash>

#include "history/HistoryText.h"
#include "results/CellText.h"

namespace norak {

namespace {

QString cellOf(const QStringList& cells, int column) {
    return column < cells.size() ? cells[column] : QString();
}

}  // namespace

QString StoredRow::name() const {
    return cellOf(cells, kColName);
}

QString StoredRow::code() const {
    return cellOf(cells, kColCode);
}

void StoredRow::computeNumbers() {
    seconds = secondsFromTimeText(cellOf(cells, kColTime));
    periods = integerFromText(cellOf(cells, kColPeriods));
    const std::optional<int> distance = integerFromText(cellOf(cells, kColDistance));
    metres = distance ? std::optional<qint64>(*distance) : std::nullopt;
    speedKmh = decimalFromText(cellOf(cells, kColSpeed));
    vo2max = decimalFromText(cellOf(cells, kColVo2max));
}

bool StoredTest::hasNamedRow() const {
    for (const StoredRow& row : rows) {
        if (!row.name().trimmed().isEmpty())
            return true;
    }
    return false;
}

QString periodTableFingerprint(const QStringList& lines) {
    return contentFingerprint(lines.join(QLatin1Char('\n')).toUtf8());
}

QString contentFingerprint(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

}  // namespace norak
