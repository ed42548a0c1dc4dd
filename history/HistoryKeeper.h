#pragma once

#include <QChar>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "history/StoredTest.h"

namespace norak {

class HistoryWriter;
struct HistoryOpening;
struct StoreResult;

// A finished test as the run knows it at Stop (or when a test ends by leaving): its settings,
// its times and its table. Plain data, so that the keeper needs nothing of the run itself. A
// table brought back by the journal knows neither the warm-up, the sound output, the timing
// figures nor the period table: those stay empty, and the stored test keeps its own.
struct FinishedTest {
    int edition = 0;
    QString editionTitle;
    QStringList periodTable;  // the period table the test ran on, one run time per line
    QDateTime startedAt;
    QDateTime stoppedAt;
    int mode = 0;  // TestMode
    int startPeriod = 1;
    QString startSpeedText;
    std::optional<bool> warmUp;
    QString soundOutput;
    std::optional<int> signalsGiven;
    std::optional<qint64> latenessP50Ms;
    std::optional<qint64> latenessP99Ms;
    std::optional<qint64> latenessMaxMs;
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    QList<QStringList> rows;  // every data row of the table, row 1 first, all its cells
};

// Keeps every finished test in the history with nothing to press: the feature that listens to
// the run's end (and to the table's corrections after it) and hands the test to the writer.
// Says once, through `tell`, when the history is not kept and why.
class HistoryKeeper : public QObject {
    Q_OBJECT

  public:
    HistoryKeeper(HistoryWriter& writer, std::function<void(const QString&)> tell, QObject* parent = nullptr);

    // The test as the history stores it (without its UUID: the writer makes it from the
    // laptop's identity and the Start, so that a test kept again is the same test).
    static StoredTest toStored(const FinishedTest& test);

    // The test ended: store it. Nothing is stored for a test without a named row.
    void keep(const FinishedTest& test);
    // The table changed after the test ended. A name or code corrected: the stored test takes the
    // table's rows. Any other cell changed (the table cleared, a squad loaded): the table no longer
    // holds that test, and later changes belong to no stored test.
    void correct(const QList<QStringList>& rows);
    // A new test is prepared: later corrections belong to no stored test.
    void forget() { m_last.reset(); }

  private:
    void opened(const HistoryOpening& opening);
    void finished(const QString& uuid, const StoreResult& result);
    void tellOnce(const QString& message);

    HistoryWriter& m_writer;
    std::function<void(const QString&)> m_tell;
    std::optional<FinishedTest> m_last;
    bool m_told = false;
};

}  // namespace norak
