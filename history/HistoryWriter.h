#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <functional>

#include "history/HistoryDatabase.h"
#include "history/StoredTest.h"

namespace norak {

// The history's writer: a thread of its own that owns the database connection (opened there)
// and stores the tests handed to it, one after another, in the order given. Storing waits for
// the disk (synchronous=FULL); here that wait never touches the pacing thread.
class HistoryWriter : public QObject {
    Q_OBJECT

  public:
    // Opens the database at `path` on the writer's thread; opened() tells how it went.
    explicit HistoryWriter(const QString& path, QObject* parent = nullptr);
    // Stores what was handed over, then ends the thread.
    ~HistoryWriter() override;

    // Hands a test over. A test without a UUID is given one made from the laptop's identity and
    // its Start, so that the same test handed over again (corrected, or restored by the journal)
    // updates the stored one.
    void store(const StoredTest& test);
    // Waits until everything handed over is stored (for a clean end and for tests).
    void flush();

  Q_SIGNALS:
    void opened(const norak::HistoryOpening& opening);
    void storeFinished(const QString& uuid, const norak::StoreResult& result);

  private:
    class Worker;
    QThread m_thread;
    Worker* m_worker = nullptr;
};

// The UUID of a test run on a laptop: version 5, from the laptop's UUID, the edition and the
// local moment of Start to the millisecond.
QString runTestUuid(const QString& laptopUuid, int edition, const QDateTime& startedAt);

}  // namespace norak
