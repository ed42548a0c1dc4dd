#include "history/HistoryDatabase.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUuid>
#include <QVariant>

#include "history/HistorySchema.h"
#include "history/HistoryText.h"

namespace norak {

namespace {

constexpr int kHistoryPageSize = 16384;
// Remade in some 0.6 s at most (ten seasons of a squad are a few MB).
constexpr qint64 kLargestRemadeHistory = 64 * 1024 * 1024;

// Local dates and times of the tests, as the coach saw them, to the millisecond.
const QString kLocalFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");
// The rows' cells are kept joined by the separator no cell may hold.
const QChar kCellSeparator = QLatin1Char(';');

// SQLite's primary result codes that say the file itself is broken.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

QAtomicInt g_connectionCount;

QString localText(const QDateTime& when) {
    return when.isValid() ? when.toString(kLocalFormat) : QString();
}

QDateTime localFrom(const QVariant& value) {
    if (value.isNull())
        return {};
    return QDateTime::fromString(value.toString(), kLocalFormat);
}

template <typename T>
QVariant orNull(const std::optional<T>& value) {
    return value ? QVariant::fromValue(*value) : QVariant();
}

std::optional<qint64> optionalInt64(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<qint64>(value.toLongLong());
}

std::optional<int> optionalInt(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

std::optional<double> optionalDouble(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

// Qt SQL binds a null QString as NULL; the texts of the history are never NULL, at most empty.
QVariant textValue(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

bool isBrokenFile(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

// A file that holds bytes but not SQLite's header is no database.
bool holdsOtherThanSqlite(const QString& path) {
    QFile file(path);
    if (!file.exists() || file.size() == 0 || !file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) != QByteArray("SQLite format 3", 16);
}

// A database cut short (a copy broken off, a disk that lost its end): SQLite's header says how
// many pages the file holds (when its "valid for" counter matches the change counter). Only
// without a write-ahead log: a checkpoint cut by a crash may leave the file short, and the log
// completes it.
bool shorterThanItsHeader(const QString& path) {
    const QFileInfo wal(path + QStringLiteral("-wal"));
    if (wal.exists() && wal.size() > 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    if (header.size() < 100)
        return file.size() > 0;
    auto u32 = [&](int at) {
        return (quint32(quint8(header[at])) << 24) | (quint32(quint8(header[at + 1])) << 16) |
               (quint32(quint8(header[at + 2])) << 8) | quint32(quint8(header[at + 3]));
    };
    const quint32 rawPageSize = (quint32(quint8(header[16])) << 8) | quint32(quint8(header[17]));
    const qint64 pageSize = rawPageSize == 1 ? 65536 : qint64(rawPageSize);
    if (u32(92) != u32(24) || pageSize < 512)
        return false;
    return qint64(u32(28)) * pageSize > file.size();
}

// Why the history cannot be kept, in the user's words.
QString reasonFor(const QString& path, const QString& error) {
    const QString folder = QFileInfo(path).absolutePath();
    const QFileInfo folderInfo(folder);
    if (folderInfo.exists() && !folderInfo.isWritable())
        return QStringLiteral("la carpeta %1 no permite escribir").arg(QDir::toNativeSeparators(folder));
    if (QFileInfo::exists(path) && !QFileInfo(path).isWritable())
        return QStringLiteral("el archivo %1 no permite escribir").arg(QDir::toNativeSeparators(path));
    const QStorageInfo storage(folder);
    if (error.contains(QStringLiteral("full"), Qt::CaseInsensitive) ||
        (storage.isValid() && storage.bytesAvailable() < 1024 * 1024))
        return QStringLiteral("el disco está lleno");
    if (error.contains(QStringLiteral("I/O"), Qt::CaseInsensitive))
        return QStringLiteral("no se puede escribir en el disco (¿está lleno?)");
    return QStringLiteral("el archivo %1 no se puede usar (%2)").arg(QDir::toNativeSeparators(path), error);
}

QString unavailableText(const QString& reason) {
    return QStringLiteral(
               "El historial no se guardará en esta sesión: %1.\n"
               "La prueba, su exportación y su recuperación funcionan como siempre.")
        .arg(reason);
}

}  // namespace

HistoryDatabase::HistoryDatabase(std::function<QDateTime()> utcNow)
    : m_utcNow(utcNow ? std::move(utcNow) : [] { return QDateTime::currentDateTimeUtc(); }),
      m_connection(QStringLiteral("norak-history-%1").arg(g_connectionCount.fetchAndAddRelaxed(1))) {}

HistoryDatabase::~HistoryDatabase() {
    close();
}

QString HistoryDatabase::defaultPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/norak/historial.sqlite");
}

QSqlDatabase HistoryDatabase::connection() const {
    return db();
}

QSqlDatabase HistoryDatabase::db() const {
    return QSqlDatabase::database(m_connection, false);
}

bool HistoryDatabase::isOpen() const {
    return QSqlDatabase::contains(m_connection) && db().isOpen();
}

void HistoryDatabase::close() {
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase database = db();
        database.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_writable = false;
}

QString HistoryDatabase::now() const {
    return m_utcNow().toUTC().toString(Qt::ISODateWithMs);
}

int HistoryDatabase::schemaVersion() const {
    QSqlQuery query(db());
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

HistoryOpening HistoryDatabase::open(const QString& path, const std::function<void(const QString&)>& tell,
                                     bool wholeCheck) {
    close();
    m_path = path;
    m_laptopUuid.clear();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return {HistoryOpening::Status::Unavailable,
                unavailableText(
                    QStringLiteral("no se puede crear la carpeta %1").arg(QDir::toNativeSeparators(folder))),
                QString()};
    }
    return openFile(tell, false, wholeCheck);
}

HistoryOpening HistoryDatabase::openFile(const std::function<void(const QString&)>& tell, bool afterSetAside,
                                         bool wholeCheck) {
    auto brokenFile = [&]() -> HistoryOpening {
        close();
        if (afterSetAside)
            return {HistoryOpening::Status::Unavailable, unavailableText(reasonFor(m_path, QString())),
                    QString()};
        const QString stem = m_path + QStringLiteral(".danado-") +
                             m_utcNow().toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString aside = stem;
        for (int n = 2; QFile::exists(aside); ++n)  // a file set aside before in the same second
            aside = stem + QStringLiteral("-%1").arg(n);
        const QString message = QStringLiteral(
                                    "El archivo del historial %1 está dañado o no es un historial.\n"
                                    "Se guarda aparte como %2 y se empieza un historial nuevo.")
                                    .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(aside));
        if (tell)
            tell(message);
        if (!QFile::rename(m_path, aside)) {
            return {HistoryOpening::Status::Unavailable,
                    unavailableText(QStringLiteral("el archivo %1 está dañado y no se puede apartar")
                                        .arg(QDir::toNativeSeparators(m_path))),
                    QString()};
        }
        // What the damaged file's write-ahead log holds belongs to it, not to the new file.
        for (const char* suffix : {"-wal", "-shm"}) {
            const QString companion = m_path + QLatin1String(suffix);
            if (QFile::exists(companion))
                QFile::rename(companion, aside + QLatin1String(suffix));
        }
        HistoryOpening reopened = openFile(tell, true, wholeCheck);
        if (reopened.status == HistoryOpening::Status::Ready) {
            reopened.message = message;
            reopened.setAsidePath = aside;
        }
        return reopened;
    };
    auto unavailable = [&](const QString& error) -> HistoryOpening {
        const QString text = unavailableText(reasonFor(m_path, error));
        close();
        return {HistoryOpening::Status::Unavailable, text, QString()};
    };

    if (holdsOtherThanSqlite(m_path) || shorterThanItsHeader(m_path))
        return brokenFile();

    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        database.setDatabaseName(m_path);
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!database.open())
            return unavailable(database.lastError().text());
    }

    QSqlQuery query(db());
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        if (isBrokenFile(query.lastError()))
            return brokenFile();
        return unavailable(query.lastError().text());
    }
    const int version = query.value(0).toInt();
    query.finish();

    if (version > kHistorySchemaVersion) {
        // A newer program's file: read it, never write it (not even the journal mode).
        query = QSqlQuery();
        close();
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        database.setDatabaseName(m_path);
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!database.open())
            return unavailable(database.lastError().text());
        QSqlQuery pragma(database);
        pragma.exec(QStringLiteral("PRAGMA query_only = ON"));
        QSqlQuery laptop(database);
        if (laptop.exec(QStringLiteral("SELECT uuid FROM laptop")) && laptop.next())
            m_laptopUuid = laptop.value(0).toString();
        m_writable = false;
        return {HistoryOpening::Status::ReadOnlyNewer,
                QStringLiteral("El historial %1 es de una versión más reciente del programa.\n"
                               "Se puede consultar, pero las pruebas nuevas no se guardarán en él.")
                    .arg(QDir::toNativeSeparators(m_path)),
                QString()};
    }

    QString error;
    if (!configure(&error))
        return error == QStringLiteral("broken") ? brokenFile() : unavailable(error);

    if (version > 0 && wholeCheck) {
        if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next()) {
            if (isBrokenFile(query.lastError()))
                return brokenFile();
            return unavailable(query.lastError().text());
        }
        if (query.value(0).toString() != QStringLiteral("ok"))
            return brokenFile();
        query.finish();
    }

    if (version > 0 && !remakeInLargerPages(&error))
        return unavailable(error);

    QSqlDatabase database = db();
    const SchemaUpgrade upgrade = upgradeHistorySchema(database, version);
    if (!upgrade.ok)
        return unavailable(upgrade.error);

    if (query.exec(QStringLiteral("SELECT uuid FROM laptop")) && query.next()) {
        m_laptopUuid = query.value(0).toString();
    } else {
        m_laptopUuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        QSqlQuery insert(database);
        insert.prepare(QStringLiteral("INSERT INTO laptop (id, uuid) VALUES (1, ?)"));
        insert.addBindValue(m_laptopUuid);
        if (!insert.exec())
            return unavailable(insert.lastError().text());
    }
    query.finish();

    // Writing must be possible now, not only when the first test ends.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return unavailable(query.lastError().text());
    query.exec(QStringLiteral("ROLLBACK"));
    m_writable = true;
    return {HistoryOpening::Status::Ready, QString(), QString()};
}

bool HistoryDatabase::configure(QString* error) {
    QSqlQuery query(db());
    // A new file's pages (no effect on a file already made): a club's history of 100,000 tests
    // and 1.4 million results is received, copied from the log and indexed in 16 KB pages
    // 1.3 s sooner than in SQLite's 4 KB (bench/club_sync_bench), and a test is stored as fast.
    query.exec(QStringLiteral("PRAGMA page_size = %1").arg(kHistoryPageSize));
    // The journal mode is the first statement that reads the file's pages.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !query.next()) {
        *error = isBrokenFile(query.lastError()) ? QStringLiteral("broken") : query.lastError().text();
        return false;
    }
    if (query.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("journal mode %1").arg(query.value(0).toString());
        return false;
    }
    for (const char* pragma :
         {"PRAGMA synchronous = FULL", "PRAGMA foreign_keys = ON", "PRAGMA busy_timeout = 5000"}) {
        if (!query.exec(QString::fromLatin1(pragma))) {
            *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

bool HistoryDatabase::remakeInLargerPages(QString* error) {
    QSqlQuery query(db());
    if (!query.exec(QStringLiteral("PRAGMA page_size")) || !query.next() ||
        query.value(0).toInt() >= kHistoryPageSize)
        return true;
    query.finish();
    // A history of many seasons keeps its pages: remaking it would hold up the opening.
    if (QFileInfo(m_path).size() + QFileInfo(m_path + QStringLiteral("-wal")).size() > kLargestRemadeHistory)
        return true;
    // A log's pages are the file's: the file is remade under a rollback journal, which needs this
    // connection alone on it. With another one open (the sync's, beside the window's) it is left
    // for another opening, at once rather than after the wait for a lock. Cut at any moment, the
    // journal gives the file back as it was; a failure leaves it as it was, in its old pages.
    query.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    if (query.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) && query.next() &&
        query.value(0).toString().compare(QStringLiteral("delete"), Qt::CaseInsensitive) == 0) {
        query.finish();
        query.exec(QStringLiteral("PRAGMA page_size = %1").arg(kHistoryPageSize));
        query.exec(QStringLiteral("VACUUM"));
    }
    query.finish();
    // The log again, and the waits for a lock.
    return configure(error);
}

bool HistoryDatabase::exec(QSqlQuery& query) {
    if (query.exec())
        return true;
    m_lastError = query.lastError().text();
    return false;
}

bool HistoryDatabase::begin() {
    m_lastError.clear();
    // IMMEDIATE takes the write lock at once, so that the busy timeout applies (a deferred
    // transaction that later wants to write fails at once when another copy writes).
    QSqlQuery query(db());
    if (query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return true;
    m_lastError = query.lastError().text();
    return false;
}

bool HistoryDatabase::commit() {
    QSqlQuery query(db());
    if (query.exec(QStringLiteral("COMMIT")))
        return true;
    m_lastError = query.lastError().text();
    rollback();
    return false;
}

void HistoryDatabase::rollback() {
    QSqlQuery query(db());
    query.exec(QStringLiteral("ROLLBACK"));
}

StoreResult HistoryDatabase::failure(const QString& error) {
    m_lastError = error;
    return {StoreResult::Outcome::Failed,
            QStringLiteral("No se ha podido guardar la prueba en el historial: %1.")
                .arg(reasonFor(m_path, error))};
}

StoreResult HistoryDatabase::store(const StoredTest& test) {
    const QList<StoreResult> results = storeAll({test});
    return results.isEmpty() ? StoreResult{} : results.front();
}

QList<StoreResult> HistoryDatabase::storeAll(const QList<StoredTest>& tests) {
    QList<StoreResult> results;
    if (!isOpen() || !m_writable) {
        const StoreResult refused{StoreResult::Outcome::Failed,
                                  QStringLiteral("El historial no admite pruebas nuevas en esta sesión.")};
        for (qsizetype i = 0; i < tests.size(); ++i)
            results.push_back(refused);
        return results;
    }
    if (!begin()) {
        const StoreResult failed = failure(m_lastError);
        for (qsizetype i = 0; i < tests.size(); ++i)
            results.push_back(failed);
        return results;
    }
    for (const StoredTest& test : tests) {
        StoreResult result = storeOne(test);
        if (result.outcome == StoreResult::Outcome::Failed) {
            rollback();
            QList<StoreResult> failed;
            for (qsizetype i = 0; i < tests.size(); ++i)
                failed.push_back(result);
            return failed;
        }
        results.push_back(result);
    }
    if (!commit()) {
        const StoreResult failed = failure(m_lastError);
        for (StoreResult& result : results) {
            if (result.ok())
                result = failed;
        }
    }
    return results;
}

StoreResult HistoryDatabase::storeOne(const StoredTest& test) {
    if (!test.hasNamedRow())
        return {StoreResult::Outcome::NoNamedRow, QString()};
    const QSqlDatabase database = db();
    const QString stamp = now();

    QSqlQuery find(database);
    find.prepare(QStringLiteral("SELECT id FROM tests WHERE uuid = ?"));
    find.addBindValue(test.uuid);
    if (!exec(find))
        return failure(m_lastError);
    std::optional<qint64> testId;
    if (find.next())
        testId = find.value(0).toLongLong();
    find.finish();
    const bool existed = testId.has_value();

    if (!testId && !test.sourceFingerprint.isEmpty() && hasImported(test.sourceFingerprint))
        return {StoreResult::Outcome::AlreadyImported, QString()};

    // In the order of storedTestColumns(), which the club's sync lists as well.
    const QStringList columns = columnNames(storedTestColumns());
    const QVariantList values = {
        test.edition,
        textValue(test.editionTitle),
        test.periodTableFingerprint.isEmpty() ? QVariant() : QVariant(test.periodTableFingerprint),
        localText(test.startedAt),
        test.stoppedAt.isValid() ? QVariant(localText(test.stoppedAt)) : QVariant(),
        orNull(test.mode),
        test.startPeriod,
        textValue(test.startSpeedText),
        test.warmUp ? QVariant(int(*test.warmUp)) : QVariant(),
        textValue(test.soundOutput),
        orNull(test.signalsGiven),
        orNull(test.latenessP50Ms),
        orNull(test.latenessP99Ms),
        orNull(test.latenessMaxMs),
        QString(test.dateSeparator),
        QString(test.timeSeparator),
        test.tableRows,
        test.sourceFingerprint.isEmpty() ? QVariant() : QVariant(test.sourceFingerprint),
        stamp};
    Q_ASSERT(values.size() == columns.size());

    QSqlQuery write(database);
    std::vector<qint64> formerPlayers;
    if (testId) {
        // What the new version does not know keeps the stored value: a table brought back by the
        // journal has no warm-up, sound output, timing figures or period table of its own.
        const QStringList keptWhenUnknown = {QStringLiteral("period_table_fingerprint"),
                                             QStringLiteral("stopped_at"),
                                             QStringLiteral("mode"),
                                             QStringLiteral("warm_up"),
                                             QStringLiteral("sound_output"),
                                             QStringLiteral("signals_given"),
                                             QStringLiteral("lateness_p50_ms"),
                                             QStringLiteral("lateness_p99_ms"),
                                             QStringLiteral("lateness_max_ms")};
        QStringList assignments;
        for (const QString& column : columns) {
            assignments << (keptWhenUnknown.contains(column)
                                ? QStringLiteral("%1 = COALESCE(NULLIF(?, ''), %1)").arg(column)
                                : column + QStringLiteral(" = ?"));
        }
        write.prepare(
            QStringLiteral("UPDATE tests SET %1 WHERE id = ?").arg(assignments.join(QStringLiteral(", "))));
        for (const QVariant& value : values)
            write.addBindValue(value);
        write.addBindValue(*testId);
        if (!exec(write))
            return failure(m_lastError);
        QSqlQuery remove(database);
        remove.prepare(QStringLiteral("DELETE FROM results WHERE test_id = ?"));
        remove.addBindValue(*testId);
        if (!exec(remove))
            return failure(m_lastError);
    } else {
        write.prepare(
            QStringLiteral("INSERT INTO tests (uuid, created_at, origin, %1) VALUES (?, ?, ?%2)")
                .arg(columns.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(columns.size())));
        write.addBindValue(test.uuid);
        write.addBindValue(stamp);
        write.addBindValue(m_laptopUuid);
        for (const QVariant& value : values)
            write.addBindValue(value);
        if (!exec(write))
            return failure(m_lastError);
        testId = write.lastInsertId().toLongLong();
    }

    QSqlQuery insert(database);
    insert.prepare(
        QStringLiteral("INSERT INTO results (test_id, player_id, started_at, %1) VALUES (?, ?, ?%2)")
            .arg(columnNames(storedResultColumns()).join(QStringLiteral(", ")),
                 QStringLiteral(", ?").repeated(storedResultColumns().size())));
    for (const StoredRow& row : test.rows) {
        QVariant player;
        if (!row.name().trimmed().isEmpty()) {
            const std::optional<qint64> id = resolvePlayer(row.name(), row.code());
            if (!id)
                return failure(m_lastError);
            player = *id;
        }
        // In the order of storedResultColumns().
        insert.addBindValue(*testId);
        insert.addBindValue(player);
        insert.addBindValue(localText(test.startedAt));
        insert.addBindValue(row.row);
        insert.addBindValue(textValue(row.cells.join(kCellSeparator)));
        insert.addBindValue(orNull(row.seconds));
        insert.addBindValue(orNull(row.periods));
        insert.addBindValue(orNull(row.metres));
        insert.addBindValue(orNull(row.speedKmh));
        insert.addBindValue(orNull(row.vo2max));
        insert.addBindValue(row.warnings.isEmpty() ? QVariant()
                                                   : QVariant(row.warnings.join(QLatin1Char(' '))));
        insert.addBindValue(row.outByWarnings ? 1 : 0);
        if (!exec(insert))
            return failure(m_lastError);
    }
    return {existed ? StoreResult::Outcome::Updated : StoreResult::Outcome::Stored, QString()};
}

std::optional<qint64> HistoryDatabase::resolvePlayer(const QString& name, const QString& code) {
    const QSqlDatabase database = db();
    const QString key = playerNameKey(name);
    const QString trimmedCode = textValue(code.trimmed()).toString();
    QSqlQuery query(database);
    // A code names the player; without one (or a code no player has yet), the name does, among
    // players without another code. A merged entry leads to the player it was merged into.
    if (!trimmedCode.isEmpty()) {
        query.prepare(
            QStringLiteral("SELECT id, merged_into FROM players WHERE code = ? ORDER BY merged_into IS NOT "
                           "NULL, modified_at DESC"
                           " LIMIT 1"));
        query.addBindValue(trimmedCode);
        if (!exec(query))
            return std::nullopt;
    }
    if (trimmedCode.isEmpty() || !query.next()) {
        query.prepare(
            QStringLiteral("SELECT id, merged_into FROM players WHERE name_key = ? AND (code = '' OR ? = '')"
                           " ORDER BY merged_into IS NOT NULL, modified_at DESC LIMIT 1"));
        query.addBindValue(key);
        query.addBindValue(trimmedCode);
        if (!exec(query))
            return std::nullopt;
        if (query.next() && !trimmedCode.isEmpty() && query.value(1).isNull()) {
            const qint64 id = query.value(0).toLongLong();
            QSqlQuery setCode(database);
            setCode.prepare(QStringLiteral("UPDATE players SET code = ?, modified_at = ? WHERE id = ?"));
            setCode.addBindValue(trimmedCode);
            setCode.addBindValue(now());
            setCode.addBindValue(id);
            if (!exec(setCode))
                return std::nullopt;
            return id;
        }
        if (!query.isValid()) {
            QSqlQuery insert(database);
            insert.prepare(QStringLiteral(
                "INSERT INTO players (uuid, name, name_key, code, created_at, modified_at, origin)"
                " VALUES (?, ?, ?, ?, ?, ?, ?)"));
            const QString stamp = now();
            insert.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
            insert.addBindValue(name.simplified());
            insert.addBindValue(key);
            insert.addBindValue(trimmedCode);
            insert.addBindValue(stamp);
            insert.addBindValue(stamp);
            insert.addBindValue(m_laptopUuid);
            if (!exec(insert))
                return std::nullopt;
            return insert.lastInsertId().toLongLong();
        }
    }
    qint64 id = query.value(0).toLongLong();
    QVariant mergedInto = query.value(1);
    for (int hop = 0; hop < 16 && !mergedInto.isNull(); ++hop) {
        QSqlQuery follow(database);
        follow.prepare(QStringLiteral("SELECT id, merged_into FROM players WHERE uuid = ?"));
        follow.addBindValue(mergedInto);
        if (!exec(follow) || !follow.next())
            break;
        id = follow.value(0).toLongLong();
        mergedInto = follow.value(1);
    }
    return id;
}

bool HistoryDatabase::hasImported(const QString& sourceFingerprint) const {
    QSqlQuery query(db());
    query.prepare(QStringLiteral("SELECT 1 FROM tests WHERE source_fingerprint = ?"));
    query.addBindValue(sourceFingerprint);
    return query.exec() && query.next();
}

std::optional<StoredTest> HistoryDatabase::test(const QString& uuid) const {
    QSqlQuery query(db());
    query.prepare(QStringLiteral(
        "SELECT id, edition, edition_title, period_table_fingerprint, started_at, stopped_at, mode, "
        "start_period,"
        " start_speed_text, warm_up, sound_output, signals_given, lateness_p50_ms, lateness_p99_ms,"
        " lateness_max_ms, date_separator, time_separator, table_rows, source_fingerprint"
        " FROM tests WHERE uuid = ?"));
    query.addBindValue(uuid);
    if (!query.exec() || !query.next())
        return std::nullopt;
    StoredTest test;
    test.uuid = uuid;
    const qint64 id = query.value(0).toLongLong();
    test.edition = query.value(1).toInt();
    test.editionTitle = query.value(2).toString();
    test.periodTableFingerprint = query.value(3).toString();
    test.startedAt = localFrom(query.value(4));
    test.stoppedAt = localFrom(query.value(5));
    test.mode = optionalInt(query.value(6));
    test.startPeriod = query.value(7).toInt();
    test.startSpeedText = query.value(8).toString();
    if (!query.value(9).isNull())
        test.warmUp = query.value(9).toInt() != 0;
    test.soundOutput = query.value(10).toString();
    test.signalsGiven = optionalInt(query.value(11));
    test.latenessP50Ms = optionalInt64(query.value(12));
    test.latenessP99Ms = optionalInt64(query.value(13));
    test.latenessMaxMs = optionalInt64(query.value(14));
    const QString dateSeparator = query.value(15).toString();
    const QString timeSeparator = query.value(16).toString();
    test.dateSeparator = dateSeparator.isEmpty() ? QLatin1Char('/') : dateSeparator.front();
    test.timeSeparator = timeSeparator.isEmpty() ? QLatin1Char(':') : timeSeparator.front();
    test.tableRows = query.value(17).toInt();
    test.sourceFingerprint = query.value(18).toString();

    QSqlQuery rows(db());
    rows.prepare(QStringLiteral(
        "SELECT r.row, r.cells, r.seconds, r.periods, r.metres, r.speed_kmh, r.vo2max, p.uuid, r.warnings,"
        " r.out_by_warnings FROM results r LEFT JOIN players p ON p.id = r.player_id WHERE r.test_id = ? "
        "ORDER BY r.row"));
    rows.addBindValue(id);
    if (!rows.exec())
        return std::nullopt;
    while (rows.next()) {
        StoredRow row;
        row.row = rows.value(0).toInt();
        row.cells = rows.value(1).toString().split(kCellSeparator);
        row.seconds = optionalInt(rows.value(2));
        row.periods = optionalInt(rows.value(3));
        row.metres = optionalInt64(rows.value(4));
        row.speedKmh = optionalDouble(rows.value(5));
        row.vo2max = optionalDouble(rows.value(6));
        row.playerUuid = rows.value(7).toString();
        row.warnings = rows.value(8).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        row.outByWarnings = rows.value(9).toInt() != 0;
        test.rows.push_back(row);
    }
    return test;
}

QList<TestSummary> HistoryDatabase::tests() const {
    QList<TestSummary> list;
    QSqlQuery query(db());
    query.setForwardOnly(true);
    if (!query.exec(
            QStringLiteral("SELECT t.uuid, t.started_at, t.edition, t.edition_title, t.mode, t.start_period,"
                           " COUNT(r.player_id), MAX(r.metres), t.source_fingerprint IS NOT NULL"
                           " FROM tests t LEFT JOIN results r ON r.test_id = t.id"
                           " GROUP BY t.id ORDER BY t.started_at DESC, t.id DESC")))
        return list;
    while (query.next()) {
        TestSummary summary;
        summary.uuid = query.value(0).toString();
        summary.startedAt = localFrom(query.value(1));
        summary.edition = query.value(2).toInt();
        summary.editionTitle = query.value(3).toString();
        summary.mode = optionalInt(query.value(4));
        summary.startPeriod = query.value(5).toInt();
        summary.players = query.value(6).toInt();
        summary.bestMetres = optionalInt64(query.value(7));
        summary.imported = query.value(8).toBool();
        list.push_back(summary);
    }
    return list;
}

QList<PlayerSummary> HistoryDatabase::players() const {
    QList<PlayerSummary> list;
    QSqlQuery query(db());
    query.setForwardOnly(true);
    // Every figure is a seek in an index of the player's results (by Start, by distance).
    const QString latest = QStringLiteral(
        "(SELECT r.%1 FROM results r WHERE r.player_id = p.id ORDER BY r.started_at DESC, r.test_id DESC"
        " LIMIT 1 OFFSET %2)");
    const QString best = QStringLiteral(
        "(SELECT r.%1 FROM results r WHERE r.player_id = p.id AND r.metres IS NOT NULL"
        " ORDER BY r.metres DESC, r.started_at LIMIT 1)");
    if (!query.exec(QStringLiteral("SELECT p.uuid, p.name, p.code,"
                                   " (SELECT COUNT(*) FROM results r WHERE r.player_id = p.id) AS n, ") +
                    best.arg(QStringLiteral("metres")) + QLatin1Char(',') +
                    best.arg(QStringLiteral("started_at")) + QLatin1Char(',') +
                    latest.arg(QStringLiteral("metres")).arg(0) + QLatin1Char(',') +
                    latest.arg(QStringLiteral("started_at")).arg(0) + QLatin1Char(',') +
                    latest.arg(QStringLiteral("metres")).arg(1) +
                    QStringLiteral(
                        " FROM players p WHERE p.merged_into IS NULL AND n > 0 ORDER BY p.name_key, p.code")))
        return list;
    while (query.next()) {
        PlayerSummary player;
        player.uuid = query.value(0).toString();
        player.name = query.value(1).toString();
        player.code = query.value(2).toString();
        player.tests = query.value(3).toInt();
        player.bestMetres = optionalInt64(query.value(4));
        if (player.bestMetres)
            player.bestDate = localFrom(query.value(5));
        player.latestMetres = optionalInt64(query.value(6));
        player.latestDate = localFrom(query.value(7));
        const std::optional<qint64> previous = optionalInt64(query.value(8));
        if (player.latestMetres && previous)
            player.change = *player.latestMetres - *previous;
        list.push_back(player);
    }
    return list;
}

QList<ProgressPoint> HistoryDatabase::progression(const QString& playerUuid) const {
    QList<ProgressPoint> points;
    QSqlQuery query(db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT t.uuid, r.started_at, r.metres, r.periods, r.seconds, r.speed_kmh"
        " FROM results r JOIN tests t ON t.id = r.test_id"
        " WHERE r.player_id = (SELECT id FROM players WHERE uuid = ?) ORDER BY r.started_at, r.test_id"));
    query.addBindValue(playerUuid);
    if (!query.exec())
        return points;
    while (query.next()) {
        ProgressPoint point;
        point.testUuid = query.value(0).toString();
        point.date = localFrom(query.value(1));
        point.metres = optionalInt64(query.value(2));
        point.periods = optionalInt(query.value(3));
        point.seconds = optionalInt(query.value(4));
        point.speedKmh = optionalDouble(query.value(5));
        points.push_back(point);
    }
    return points;
}

QList<TeamEntry> HistoryDatabase::teamRanking() const {
    QList<TeamEntry> entries;
    QSqlQuery query(db());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT p.uuid, p.name, p.code, l.started_at, l.metres, l.periods"
                                   " FROM players p JOIN results l ON l.rowid = (SELECT r.rowid FROM results "
                                   "r WHERE r.player_id = p.id"
                                   "  ORDER BY r.started_at DESC, r.test_id DESC LIMIT 1)"
                                   " WHERE p.merged_into IS NULL"
                                   " ORDER BY l.metres DESC NULLS LAST, p.name_key")))
        return entries;
    while (query.next()) {
        TeamEntry entry;
        entry.playerUuid = query.value(0).toString();
        entry.name = query.value(1).toString();
        entry.code = query.value(2).toString();
        entry.date = localFrom(query.value(3));
        entry.metres = optionalInt64(query.value(4));
        entry.periods = optionalInt(query.value(5));
        entries.push_back(entry);
    }
    const auto count = entries.size();
    for (qsizetype i = 0; i < count; ++i) {
        // Equal distances share a rank (1, 2, 2, 4 ...).
        const bool tie = i > 0 && entries[i].metres == entries[i - 1].metres;
        entries[i].rank = tie ? entries[i - 1].rank : int(i) + 1;
        entries[i].third = int(i * 3 / count);
    }
    return entries;
}

bool HistoryDatabase::renamePlayer(const QString& playerUuid, const QString& name, const QString& code) {
    if (!m_writable || name.trimmed().isEmpty()) {
        m_lastError = QStringLiteral("not writable or empty name");
        return false;
    }
    if (!begin())
        return false;
    QSqlQuery query(db());
    query.prepare(
        QStringLiteral("UPDATE players SET name = ?, name_key = ?, code = ?, modified_at = ?, renamed_at = ?"
                       " WHERE uuid = ? AND merged_into IS NULL"));
    const QString stamp = now();
    query.addBindValue(name.simplified());
    query.addBindValue(playerNameKey(name));
    query.addBindValue(textValue(code.trimmed()));
    query.addBindValue(stamp);
    query.addBindValue(stamp);
    query.addBindValue(playerUuid);
    if (!exec(query) || query.numRowsAffected() != 1) {
        if (m_lastError.isEmpty())
            m_lastError = QStringLiteral("no such player");
        rollback();
        return false;
    }
    return commit();
}

bool HistoryDatabase::mergePlayers(const QString& keepUuid, const QString& goneUuid) {
    if (!m_writable || keepUuid == goneUuid) {
        m_lastError = QStringLiteral("not writable or the same player");
        return false;
    }
    if (!begin())
        return false;
    const QSqlDatabase database = db();
    auto idOf = [&](const QString& uuid) -> std::optional<qint64> {
        QSqlQuery query(database);
        query.prepare(QStringLiteral("SELECT id FROM players WHERE uuid = ? AND merged_into IS NULL"));
        query.addBindValue(uuid);
        if (!exec(query) || !query.next())
            return std::nullopt;
        return query.value(0).toLongLong();
    };
    const std::optional<qint64> keep = idOf(keepUuid);
    const std::optional<qint64> gone = idOf(goneUuid);
    if (!keep || !gone) {
        m_lastError = QStringLiteral("no such player");
        rollback();
        return false;
    }
    const QString stamp = now();
    QSqlQuery move(database);
    move.prepare(QStringLiteral("UPDATE results SET player_id = ? WHERE player_id = ?"));
    move.addBindValue(*keep);
    move.addBindValue(*gone);
    QSqlQuery point(database);
    point.prepare(QStringLiteral(
        "UPDATE players SET merged_into = ?, modified_at = ? WHERE id = ? OR merged_into = ?"));
    point.addBindValue(keepUuid);
    point.addBindValue(stamp);
    point.addBindValue(*gone);
    point.addBindValue(goneUuid);
    QSqlQuery touch(database);
    touch.prepare(QStringLiteral("UPDATE players SET modified_at = ? WHERE id = ?"));
    touch.addBindValue(stamp);
    touch.addBindValue(*keep);
    if (!exec(move) || !exec(point) || !exec(touch)) {
        rollback();
        return false;
    }
    return commit();
}

bool HistoryDatabase::deleteTest(const QString& uuid) {
    if (!m_writable) {
        m_lastError = QStringLiteral("not writable");
        return false;
    }
    if (!begin())
        return false;
    QSqlQuery remove(db());
    remove.prepare(QStringLiteral("DELETE FROM tests WHERE uuid = ?"));
    remove.addBindValue(uuid);
    if (!exec(remove) || remove.numRowsAffected() != 1) {
        if (m_lastError.isEmpty())
            m_lastError = QStringLiteral("no such test");
        rollback();
        return false;
    }
    QSqlQuery record(db());
    record.prepare(
        QStringLiteral("INSERT OR REPLACE INTO deleted_tests (uuid, deleted_at, origin) VALUES (?, ?, ?)"));
    record.addBindValue(uuid);
    record.addBindValue(now());
    record.addBindValue(m_laptopUuid);
    if (!exec(record)) {
        rollback();
        return false;
    }
    return commit();
}

}  // namespace norak
