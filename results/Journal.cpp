#include "results/Journal.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "engine/Edition.h"
#include "engine/UserTexts.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"

namespace norak {

namespace {

// The first line of every journal; the number is the format, raised when the content changes.
constexpr char kMagic[] = "NORAK-RECOVERY ";
constexpr int kFormat = 1;
constexpr char kChecksumTag[] = "SHA1 ";
const QString kFileName = QStringLiteral("recovery.journal");
// The new content is written here first and then renamed over the journal. One fixed name: a
// process killed while writing leaves at most this one file, which the next write reuses.
const QString kTemporaryName = QStringLiteral("recovery.tmp");

QString modeName(TestMode mode) {
    switch (mode) {
        case TestMode::Completo:
            return QStringLiteral("completo");
        case TestMode::Esfuerzo:
            return QStringLiteral("esfuerzo");
        case TestMode::Repetir:
            return QStringLiteral("repetir");
    }
    return {};
}

std::optional<TestMode> modeFromName(const QString& name) {
    for (TestMode mode : {TestMode::Completo, TestMode::Esfuerzo, TestMode::Repetir}) {
        if (modeName(mode) == name)
            return mode;
    }
    return std::nullopt;
}

// Local time with its offset from UTC: without it, a test started in the hour that the autumn
// clock change repeats came back an hour later (the first 02:30 read as the second).
QString dateText(const QDateTime& when) {
    return when.isValid() ? when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODateWithMs)
                          : QString();
}

// Read back as local time; a journal of before the offset was written has local time already.
QDateTime dateFromText(const QString& text) {
    return text.isEmpty() ? QDateTime() : QDateTime::fromString(text, Qt::ISODateWithMs).toLocalTime();
}

QJsonObject warningObject(const Warning& w) {
    QJsonObject o;
    o[QStringLiteral("athlete")] = w.athlete;
    o[QStringLiteral("name")] = w.name;
    o[QStringLiteral("tick")] = double(w.tick);
    o[QStringLiteral("leg")] = w.leg;
    o[QStringLiteral("period")] = int(w.period);
    o[QStringLiteral("signal")] = w.signal;
    o[QStringLiteral("station")] = w.station;
    o[QStringLiteral("putOut")] = w.putOut;
    if (!w.by.isEmpty())
        o[QStringLiteral("by")] = w.by;
    return o;
}

// A warning of an athlete the table has no row for cannot have been written by the program.
std::optional<Warning> warningFrom(const QJsonValue& value, int rows) {
    const QJsonObject o = value.toObject();
    Warning w;
    w.athlete = o[QStringLiteral("athlete")].toInt(0);
    w.leg = o[QStringLiteral("leg")].toInt(0);
    if (!value.isObject() || w.athlete < 1 || w.athlete > rows || w.leg < 1)
        return std::nullopt;
    w.name = o[QStringLiteral("name")].toString();
    w.tick = qint64(o[QStringLiteral("tick")].toDouble());
    w.period = unsigned(std::max(0, o[QStringLiteral("period")].toInt()));
    w.signal = o[QStringLiteral("signal")].toInt();
    w.station = o[QStringLiteral("station")].toInt();
    w.putOut = o[QStringLiteral("putOut")].toBool();
    w.by = o[QStringLiteral("by")].toString();
    return w;
}

QByteArray checksumOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

// Writes the whole buffer, across short writes and interruptions.
bool writeAll(int fd, const QByteArray& content) {
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// A rename or removal is durable only once the folder itself is on disk.
bool syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

}  // namespace

void JournalState::takeTable(const ResultsTable& table) {
    edition = table.edition();
    cells.clear();
    const int columns = resultsColumnCount(table.edition());
    for (int row = 1; row <= table.dataRowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < columns; ++column)
            texts.append(table.cell(column, row));
        cells.append(texts);
    }
    resultsExported = table.resultsExported() != 0;
}

void JournalState::putInto(ResultsTable& table) const {
    for (int row = 1; row <= cells.size(); ++row) {
        const QStringList& texts = cells[row - 1];
        for (int column = 0; column < texts.size(); ++column)
            table.setCell(column, row, texts[column]);
    }
    table.setResultsExported(resultsExported ? 1 : 0);
}

bool JournalState::isEmpty() const {
    for (const QStringList& row : cells) {
        for (const QString& text : row) {
            if (!text.isEmpty())
                return false;
        }
    }
    return true;
}

Journal::Journal(int edition, const QString& folder) : m_edition(edition), m_folder(folder) {}

Journal::~Journal() = default;

Journal::Claim Journal::claim() {
    if (m_lock && m_lock->isLocked())
        return Claim::Taken;
    QDir().mkpath(m_folder);
    m_lock =
        std::make_unique<QLockFile>(m_folder + QStringLiteral("/.") + kFileName + QStringLiteral(".lock"));
    // A lock is stale only when the program that took it is no longer running, however old it is:
    // a test can last hours.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Claim::Taken;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    return error == QLockFile::LockFailedError ? Claim::HeldElsewhere : Claim::NotLockable;
}

QString Journal::defaultFolder() {
    // XDG: a relative $XDG_STATE_HOME is invalid and is ignored.
    const QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (!stateHome.isEmpty() && QDir::isAbsolutePath(stateHome))
        return QDir::cleanPath(stateHome + QStringLiteral("/norak"));
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/state/norak"));
}

QString Journal::filePath() const {
    return m_folder + QLatin1Char('/') + kFileName;
}

QByteArray Journal::encode(const JournalState& state) {
    QJsonArray rows;
    for (const QStringList& row : state.cells)
        rows.append(QJsonArray::fromStringList(row));
    QJsonObject content;
    content[QStringLiteral("edition")] = state.edition;
    content[QStringLiteral("cells")] = rows;
    content[QStringLiteral("resultsExported")] = state.resultsExported;
    content[QStringLiteral("mode")] = modeName(state.mode);
    content[QStringLiteral("startPeriod")] = state.startPeriod;
    content[QStringLiteral("startSpeedText")] = state.startSpeedText;
    content[QStringLiteral("startedAt")] = dateText(state.startedAt);
    content[QStringLiteral("running")] = state.running;
    content[QStringLiteral("stoppedAt")] = dateText(state.stoppedAt);
    QJsonArray warnings;
    for (const Warning& w : state.warnings)
        warnings.append(warningObject(w));
    content[QStringLiteral("warnings")] = warnings;
    QJsonObject rule;
    rule[QStringLiteral("outAfter")] = state.warningRule.outAfter;
    rule[QStringLiteral("consecutive")] = state.warningRule.consecutive;
    rule[QStringLiteral("clearedByRecovery")] = state.warningRule.clearedByRecovery;
    content[QStringLiteral("warningRule")] = rule;

    QByteArray body = kMagic + QByteArray::number(kFormat) + '\n';
    body += QJsonDocument(content).toJson(QJsonDocument::Compact) + '\n';
    return body + kChecksumTag + checksumOf(body) + '\n';
}

Journal::LoadResult Journal::decode(const QByteArray& bytes, int edition) {
    const QByteArray magic(kMagic);
    if (!bytes.startsWith(magic)) {
        // A file cut inside its first line still begins like a journal.
        const bool cutShort = magic.startsWith(bytes);
        return {cutShort ? LoadStatus::Truncated : LoadStatus::Foreign, {}};
    }
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (firstEnd < 0)
        return {LoadStatus::Truncated, {}};
    bool isNumber = false;
    const int format = bytes.mid(magic.size(), firstEnd - magic.size()).toInt(&isNumber);
    if (!isNumber || format != kFormat)
        return {LoadStatus::Foreign, {}};

    // The checksum line is the last one; without it (or without its line end) the file was cut.
    if (!bytes.endsWith('\n'))
        return {LoadStatus::Truncated, {}};
    const qsizetype tagAt = bytes.lastIndexOf(QByteArray('\n' + QByteArray(kChecksumTag)), bytes.size() - 2);
    if (tagAt < firstEnd)
        return {LoadStatus::Truncated, {}};
    const QByteArray body = bytes.left(tagAt + 1);
    const QByteArray checksum = bytes.mid(tagAt + 1 + qsizetype(sizeof kChecksumTag) - 1).chopped(1);
    if (checksum != checksumOf(body))
        return {LoadStatus::Corrupt, {}};

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body.mid(firstEnd + 1), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {LoadStatus::Corrupt, {}};
    const QJsonObject content = document.object();

    JournalState state;
    state.edition = content[QStringLiteral("edition")].toInt(-1);
    if (state.edition != edition)
        return {LoadStatus::OtherEdition, {}};
    // Every row and column of this edition's table, no more and no fewer.
    const QJsonArray rows = content[QStringLiteral("cells")].toArray();
    if (rows.size() != editionRecord(edition).stationsPerLap)
        return {LoadStatus::Corrupt, {}};
    for (const QJsonValue& row : rows) {
        const QJsonArray texts = row.toArray();
        if (texts.size() != resultsColumnCount(edition))
            return {LoadStatus::Corrupt, {}};
        QStringList line;
        for (const QJsonValue& text : texts) {
            if (!text.isString())
                return {LoadStatus::Corrupt, {}};
            line.append(text.toString());
        }
        state.cells.append(line);
    }
    const std::optional<TestMode> mode = modeFromName(content[QStringLiteral("mode")].toString());
    if (!mode)
        return {LoadStatus::Corrupt, {}};
    state.mode = *mode;
    state.resultsExported = content[QStringLiteral("resultsExported")].toBool();
    state.startPeriod = content[QStringLiteral("startPeriod")].toInt(1);
    state.startSpeedText = content[QStringLiteral("startSpeedText")].toString();
    state.startedAt = dateFromText(content[QStringLiteral("startedAt")].toString());
    state.running = content[QStringLiteral("running")].toBool();
    state.stoppedAt = dateFromText(content[QStringLiteral("stoppedAt")].toString());
    // Warnings came later than the table: a journal without them has none.
    for (const QJsonValue& value : content[QStringLiteral("warnings")].toArray()) {
        const std::optional<Warning> warning = warningFrom(value, int(rows.size()));
        if (!warning)
            return {LoadStatus::Corrupt, {}};
        state.warnings.append(*warning);
    }
    const QJsonObject rule = content[QStringLiteral("warningRule")].toObject();
    const WarningRule defaults;
    state.warningRule.outAfter = rule[QStringLiteral("outAfter")].toInt(defaults.outAfter);
    state.warningRule.consecutive = rule[QStringLiteral("consecutive")].toBool(defaults.consecutive);
    state.warningRule.clearedByRecovery =
        rule[QStringLiteral("clearedByRecovery")].toBool(defaults.clearedByRecovery);
    state.warningRule = state.warningRule.normalized();
    return {LoadStatus::Loaded, state};
}

bool Journal::writeFile(const QByteArray& content) {
    if (!QDir().mkpath(m_folder))
        return false;
    const QString temporary = m_folder + QLatin1Char('/') + kTemporaryName;
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // On disk before the rename: otherwise a power cut could leave the new name on an empty file.
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        std::rename(temporaryName.constData(), QFile::encodeName(filePath()).constData()) != 0) {
        ::unlink(temporaryName.constData());
        return false;
    }
    return syncFolder(m_folder);
}

Journal::WriteResult Journal::write(const JournalState& state) {
    bool done = false;
    if (state.isEmpty()) {
        // A table emptied on purpose must not come back after a crash.
        if (remove())
            return WriteResult::Removed;
    } else {
        done = writeFile(encode(state));
    }
    if (done)
        return WriteResult::Written;
    if (m_failureReported)
        return WriteResult::FailedAgain;
    m_failureReported = true;
    return WriteResult::Failed;
}

Journal::LoadResult Journal::load() const {
    QFile file(filePath());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {LoadStatus::Unreadable, {}};
    return decode(file.readAll(), m_edition);
}

QString Journal::setAside(const QDateTime& now) {
    const QString stem =
        m_folder + QStringLiteral("/recovery-") + now.toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = stem + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".bad");
    if (!QFile::rename(filePath(), target))
        return {};
    syncFolder(m_folder);
    return target;
}

bool Journal::remove() {
    QFile::remove(m_folder + QLatin1Char('/') + kTemporaryName);
    if (!QFileInfo::exists(filePath()))
        return true;
    if (!QFile::remove(filePath()))
        return false;
    syncFolder(m_folder);
    return true;
}

QString Journal::restoreCaption() {
    return kRestoreCaption;
}

QString Journal::restoreQuestion() {
    return kRestoreQuestion;
}

QString Journal::setAsideMessage(const QString& badFilePath) {
    return journalSetAsideText(badFilePath);
}

QString Journal::heldElsewhereMessage() {
    return kJournalHeldElsewhereText;
}

QString Journal::notKeptMessage(const QString& folder) {
    return journalNotKeptText(folder);
}

}  // namespace norak
