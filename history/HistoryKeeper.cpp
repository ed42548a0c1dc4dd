#include "history/HistoryKeeper.h"

#include "history/HistoryWriter.h"
#include "results/CellText.h"

namespace norak {

HistoryKeeper::HistoryKeeper(HistoryWriter& writer, std::function<void(const QString&)> tell, QObject* parent)
    : QObject(parent), m_writer(writer), m_tell(std::move(tell)) {
    connect(&writer, &HistoryWriter::opened, this, &HistoryKeeper::opened);
    connect(&writer, &HistoryWriter::storeFinished, this, &HistoryKeeper::finished);
}

namespace {
// The two tables differ in names and codes at most.
bool onlyNamesDiffer(const QList<QStringList>& kept, const QList<QStringList>& now) {
    if (kept.size() != now.size())
        return false;
    for (int row = 0; row < kept.size(); ++row) {
        if (kept[row].size() != now[row].size())
            return false;
        for (int column = 0; column < kept[row].size(); ++column) {
            if (column != kColName && column != kColCode && kept[row][column] != now[row][column])
                return false;
        }
    }
    return true;
}
}  // namespace

StoredTest HistoryKeeper::toStored(const FinishedTest& test) {
    StoredTest stored;
    stored.edition = test.edition;
    stored.editionTitle = test.editionTitle;
    stored.periodTableFingerprint =
        test.periodTable.isEmpty() ? QString() : periodTableFingerprint(test.periodTable);
    stored.startedAt = test.startedAt;
    stored.stoppedAt = test.stoppedAt;
    stored.mode = test.mode;
    stored.startPeriod = test.startPeriod;
    stored.startSpeedText = test.startSpeedText;
    stored.warmUp = test.warmUp;
    stored.soundOutput = test.soundOutput;
    stored.signalsGiven = test.signalsGiven;
    stored.latenessP50Ms = test.latenessP50Ms;
    stored.latenessP99Ms = test.latenessP99Ms;
    stored.latenessMaxMs = test.latenessMaxMs;
    stored.dateSeparator = test.dateSeparator;
    stored.timeSeparator = test.timeSeparator;
    stored.tableRows = int(test.rows.size());
    for (int i = 0; i < test.rows.size(); ++i) {
        bool anything = false;
        for (const QString& cell : test.rows[i])
            anything = anything || !cell.isEmpty();
        if (!anything)
            continue;
        StoredRow row;
        row.row = i + 1;
        row.cells = test.rows[i];
        row.computeNumbers();
        stored.rows.push_back(row);
    }
    return stored;
}

void HistoryKeeper::keep(const FinishedTest& test) {
    m_last = test;
    const StoredTest stored = toStored(test);
    if (stored.hasNamedRow())
        m_writer.store(stored);
}

void HistoryKeeper::correct(const QList<QStringList>& rows) {
    if (!m_last || m_last->rows == rows)
        return;
    if (!onlyNamesDiffer(m_last->rows, rows)) {
        m_last.reset();
        return;
    }
    m_last->rows = rows;
    const StoredTest stored = toStored(*m_last);
    if (stored.hasNamedRow())
        m_writer.store(stored);
}

void HistoryKeeper::opened(const HistoryOpening& opening) {
    if (!m_tell)
        return;
    if (!opening.message.isEmpty() && !opening.setAsidePath.isEmpty())
        m_tell(opening.message);  // a file set aside is told whatever else was told before
    else if (!opening.message.isEmpty())
        tellOnce(opening.message);
}

void HistoryKeeper::finished(const QString&, const StoreResult& result) {
    if (result.outcome == StoreResult::Outcome::Failed)
        tellOnce(result.message);
}

void HistoryKeeper::tellOnce(const QString& message) {
    if (m_told || !m_tell)
        return;
    m_told = true;
    m_tell(message);
}

}  // namespace norak
