#include "results/JournalWriter.h"

#include <QMutexLocker>
#include <QThread>
#include <utility>

namespace norak {

JournalWriter::JournalWriter(const Journal& journal, QObject* parent) : QObject(parent), m_journal(journal) {
    m_thread = QThread::create([this] { run(); });
    m_thread->setObjectName(QStringLiteral("norak-journal"));
    m_thread->start();
}

JournalWriter::~JournalWriter() {
    {
        QMutexLocker locker(&m_lock);
        m_quit = true;
        m_work.wakeAll();
    }
    m_thread->wait();
    delete m_thread;
}

void JournalWriter::post(const JournalState& state) {
    QMutexLocker locker(&m_lock);
    m_pending = state;
    m_removePending = false;
    m_work.wakeAll();
}

void JournalWriter::removeJournal() {
    QMutexLocker locker(&m_lock);
    m_pending.reset();
    m_removePending = true;
    m_work.wakeAll();
}

void JournalWriter::waitUntilWritten() {
    QMutexLocker locker(&m_lock);
    while (m_busy || m_pending || m_removePending)
        m_idle.wait(&m_lock);
}

void JournalWriter::run() {
    QMutexLocker locker(&m_lock);
    for (;;) {
        if (!m_pending && !m_removePending) {
            m_idle.wakeAll();
            if (m_quit)
                return;
            m_work.wait(&m_lock);
            continue;
        }
        std::optional<JournalState> state = std::exchange(m_pending, std::nullopt);
        const bool remove = std::exchange(m_removePending, false);
        m_busy = true;
        locker.unlock();
        bool failed = false;
        if (remove)
            m_journal.remove();
        else
            failed = m_journal.write(*state) == Journal::WriteResult::Failed;
        if (failed)
            Q_EMIT writeFailed(m_journal.folder());
        locker.relock();
        m_busy = false;
    }
}

}  // namespace norak
