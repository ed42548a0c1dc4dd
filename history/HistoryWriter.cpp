#include "history/HistoryWriter.h"

#include <QMetaObject>
#include <QUuid>

namespace norak {

class HistoryWriter::Worker : public QObject {
  public:
    HistoryDatabase db;
};

QString runTestUuid(const QString& laptopUuid, int edition, const QDateTime& startedAt) {
    const QUuid space = QUuid::fromString(laptopUuid);
    return QUuid::createUuidV5(space, QString::number(edition) + QLatin1Char('|') +
                                          startedAt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")))
        .toString(QUuid::WithoutBraces);
}

HistoryWriter::HistoryWriter(const QString& path, QObject* parent) : QObject(parent), m_worker(new Worker) {
    qRegisterMetaType<norak::HistoryOpening>();
    qRegisterMetaType<norak::StoreResult>();
    m_thread.setObjectName(QStringLiteral("history"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
    QMetaObject::invokeMethod(m_worker, [this, path] {
        const HistoryOpening opening = m_worker->db.open(path);
        QMetaObject::invokeMethod(
            this, [this, opening] { Q_EMIT opened(opening); }, Qt::QueuedConnection);
    });
}

HistoryWriter::~HistoryWriter() {
    // Everything handed over is stored first (the thread's queue is worked in order), and the
    // connection is closed in the thread that made it.
    QMetaObject::invokeMethod(
        m_worker, [this] { m_worker->db.close(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void HistoryWriter::store(const StoredTest& test) {
    QMetaObject::invokeMethod(m_worker, [this, test] {
        StoredTest named = test;
        if (named.uuid.isEmpty())
            named.uuid = runTestUuid(m_worker->db.laptopUuid(), named.edition, named.startedAt);
        const StoreResult result = m_worker->db.store(named);
        const QString uuid = named.uuid;
        QMetaObject::invokeMethod(
            this, [this, uuid, result] { Q_EMIT storeFinished(uuid, result); }, Qt::QueuedConnection);
    });
}

void HistoryWriter::flush() {
    QMetaObject::invokeMethod(
        m_worker, [] {}, Qt::BlockingQueuedConnection);
}

}  // namespace norak
