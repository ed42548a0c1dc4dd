#pragma once

#include <QMutex>
#include <QObject>
#include <QWaitCondition>
#include <optional>

#include "results/Journal.h"

class QThread;

namespace norak {

// Writes the journal on a thread of its own, so that the disk's syncs (tens of milliseconds on a
// slow disk) never hold up the window while it paces a test. Only the newest state matters:
// states posted while a write is under way replace one another, and the newest is written next.
class JournalWriter : public QObject {
    Q_OBJECT

  public:
    explicit JournalWriter(const Journal& journal, QObject* parent = nullptr);
    // Writes what is still pending, then ends the thread.
    ~JournalWriter() override;

    // A change of the table or of the test; returns at once.
    void post(const JournalState& state);
    // A clean end: anything pending is dropped and the journal goes.
    void removeJournal();
    // Returns once everything posted so far is on disk (or has failed).
    void waitUntilWritten();

  Q_SIGNALS:
    // The first time the journal cannot be written (later failures say nothing). Emitted on the
    // writer's thread: a receiver in another thread gets it queued.
    void writeFailed(const QString& folder);

  private:
    void run();

    Journal m_journal;  // used on the writer's thread only
    QThread* m_thread = nullptr;
    QMutex m_lock;  // guards everything below
    QWaitCondition m_work;
    QWaitCondition m_idle;
    std::optional<JournalState> m_pending;
    bool m_removePending = false;
    bool m_busy = false;
    bool m_quit = false;
};

}  // namespace norak
