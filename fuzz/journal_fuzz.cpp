// The recovery journal's loader (results/Journal::decode, what the program reads after a crash):
// whatever lies at the journal's path, it loads only a state that fits the edition's table, and a
// state that loads is written back as the same bytes, so that a restored test is kept as it was.
//
// Input: any bytes, used three ways.
// - As a file at the journal's path, decoded for each of the five editions.
// - As the content of a journal whose magic line and checksum are right (unless it already
//   begins with the magic line): a checksum stops nearly every damaged file before its content
//   is read, and this lets the fuzzer reach the content's own checks.
// - As the choices of a state the program could write (names and codes through the cell rules,
//   dates in the local time zone): written by the journal's own encoder, it must load as itself
//   and be written back byte for byte.
#include <QCryptographicHash>
#include <QDateTime>
#include <algorithm>
#include <cstdlib>

#include "engine/Edition.h"
#include "fuzz/FuzzCheck.h"
#include "results/CellText.h"
#include "results/Journal.h"
#include "results/ResultsGeometry.h"

using norak::fuzz::require;

namespace {

constexpr const char* kTarget = "journal";
const QByteArray kMagicLine = QByteArrayLiteral("NORAK-RECOVERY 1\n");

// A coach's laptop keeps local time with summer time; the fuzzer's machine may keep UTC.
const bool kZoneSet = [] {
    setenv("TZ", "Europe/Madrid", 1);
    return true;
}();

// A state that loaded is written back unchanged, and loads again as itself.
void checkWrittenBack(const norak::JournalState& state, int edition) {
    using norak::Journal;
    const QByteArray written = Journal::encode(state);
    const Journal::LoadResult again = Journal::decode(written, edition);
    require(again.status == Journal::LoadStatus::Loaded, kTarget,
            "a state that loaded does not load once written");
    require(again.state == state, kTarget, "a state that loaded changes once written and loaded again");
    require(Journal::encode(again.state) == written, kTarget, "a restored state is written as other bytes");
}

void checkLoaded(const QByteArray& bytes) {
    using namespace norak;
    for (int edition = 0; edition < kEditionCount; ++edition) {
        const Journal::LoadResult result = Journal::decode(bytes, edition);
        if (result.status != Journal::LoadStatus::Loaded) {
            require(result.state == JournalState{}, kTarget, "a journal that did not load gave a state");
            continue;
        }
        const JournalState& state = result.state;
        require(state.edition == edition, kTarget, "a journal loaded for another edition");
        require(state.cells.size() == editionRecord(edition).stationsPerLap, kTarget,
                "a loaded table has not the edition's rows");
        for (const QStringList& row : state.cells)
            require(row.size() == resultsColumnCount(edition), kTarget,
                    "a loaded row has not the edition's columns");
        checkWrittenBack(state, edition);
    }
}

// The input as a source of choices.
class Choices {
  public:
    Choices(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    quint32 number() {
        return quint32(byte()) | quint32(byte()) << 8 | quint32(byte()) << 16 | quint32(byte()) << 24;
    }
    QString text() {
        const size_t length = std::min<size_t>(byte() % 24, m_size - std::min(m_at, m_size));
        const QString out =
            QString::fromUtf8(reinterpret_cast<const char*>(m_data + m_at), qsizetype(length));
        m_at += length;
        return out;
    }
    QDateTime moment() {
        if (byte() % 4 == 0)
            return {};
        // 2020 ... about 2156, to the millisecond, as the clock gives it.
        const qint64 ms = 1'577'836'800'000LL + (qint64(number()) << 10 | byte() << 2);
        return QDateTime::fromMSecsSinceEpoch(ms);
    }

  private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

void checkWriterState(const uint8_t* data, size_t size) {
    using namespace norak;
    Choices choices(data, size);
    JournalState state;
    state.edition = choices.byte() % kEditionCount;
    const int rows = editionRecord(state.edition).stationsPerLap;
    const int columns = resultsColumnCount(state.edition);
    state.cells = QList<QStringList>(rows, QStringList(columns, QString()));
    for (QStringList& row : state.cells) {
        for (int column = 0; column < columns; ++column) {
            if (choices.byte() % 3 != 0)
                continue;
            const QString text = choices.text();
            // The table lets typed text in through the cell rules; the program writes the rest.
            row[column] = isUserEditableColumn(column) ? filterCellInput(column, QString(), text) : text;
        }
    }
    const uint8_t flags = choices.byte();
    state.resultsExported = flags & 1;
    state.running = flags & 2;
    state.mode = static_cast<TestMode>((flags >> 2) % 3);
    state.startPeriod = int(choices.byte() % 32);
    state.startSpeedText = choices.text();
    state.startedAt = choices.moment();
    state.stoppedAt = choices.moment();

    const QByteArray written = Journal::encode(state);
    const Journal::LoadResult loaded = Journal::decode(written, state.edition);
    require(loaded.status == Journal::LoadStatus::Loaded, kTarget, "a journal as written does not load");
    require(loaded.state == state, kTarget, "a journal as written loads as another state");
    require(Journal::encode(loaded.state) == written, kTarget,
            "a journal as written is written back otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkLoaded(bytes);
    if (!bytes.startsWith(kMagicLine)) {
        QByteArray body = kMagicLine + bytes;
        if (!body.endsWith('\n'))
            body += '\n';
        checkLoaded(body + "SHA1 " + QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex() + '\n');
    }
    checkWriterState(data, size);
    return 0;
}
