#pragma once

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

#include "engine/Configuration.h"
#include "engine/WarningRule.h"
#include "results/RunEvents.h"

namespace norak {

class ResultsTable;

// Everything of a test that must outlive a crash: every cell of the results table and the facts
// of the test that the table alone does not tell.
struct JournalState {
    int edition = 0;
    QList<QStringList> cells;  // data row 1 ... N as cells[0 ... N-1], one text per column
    bool resultsExported = false;
    TestMode mode = TestMode::Completo;
    int startPeriod = 1;
    QString startSpeedText;
    QDateTime startedAt;  // date and time of Start; invalid before the first Start
    bool running = false;
    QDateTime stoppedAt;  // invalid while running or before the first Stop
    // The last test's warnings and the rule it ran with (none in a journal of before warnings).
    QList<Warning> warnings;
    WarningRule warningRule;

    // The table's cells and export flag; the facts of the test are left as they are.
    void takeTable(const ResultsTable& table);
    // Writes every cell and the export flag back into a table of the same edition.
    void putInto(ResultsTable& table) const;
    // No cell holds any text: there is nothing to keep.
    bool isEmpty() const;

    bool operator==(const JournalState& other) const = default;
};

// The recovery file: one file, replaced as a whole on every change, so that a process killed at
// any instant (or a power cut) leaves on disk either the previous state or the new one. A magic
// line, the edition and a checksum over the content tell a journal that cannot be trusted.
class Journal {
  public:
    enum class LoadStatus {
        Missing,       // no journal: the last run ended cleanly
        Loaded,        // state holds what was written last
        Truncated,     // cut short (no checksum line)
        Corrupt,       // the checksum does not match, or the content cannot be read
        Foreign,       // not a journal of this program, or of a newer format
        OtherEdition,  // a journal of another sport edition
        Unreadable,    // the file is there but cannot be opened
    };
    struct LoadResult {
        LoadStatus status = LoadStatus::Missing;
        JournalState state;
    };
    enum class WriteResult {
        Written,      // on disk
        Removed,      // empty table: nothing kept (and a journal of before is gone)
        Failed,       // not written, the first time: the user is to be told, once
        FailedAgain,  // not written, as before: say nothing more
    };

    // The journal of an edition in a folder, by default the user's state folder.
    explicit Journal(int edition, const QString& folder = defaultFolder());
    ~Journal();

    // One program at a time keeps the journal: the first to claim it holds it until its end (a
    // lock beside the file, freed by the system should the program die).
    enum class Claim {
        Taken,          // this program keeps the journal
        HeldElsewhere,  // another running copy keeps it: leave its journal alone
        NotLockable,    // the folder cannot take the lock: go on, the write will tell
    };
    Claim claim();

    // $XDG_STATE_HOME/norak, else ~/.local/state/norak.
    static QString defaultFolder();
    QString folder() const { return m_folder; }
    QString filePath() const;

    WriteResult write(const JournalState& state);
    LoadResult load() const;
    // Moves a journal that cannot be trusted out of the way under a name of its own
    // (recovery-yyyyMMdd-hhmmss.bad); returns that name, empty when it could not be moved.
    QString setAside(const QDateTime& now);
    // A clean end: the journal goes. True when no journal is left.
    bool remove();

    // The texts the program shows about the journal.
    static QString restoreCaption();
    static QString restoreQuestion();
    static QString setAsideMessage(const QString& badFilePath);
    static QString notKeptMessage(const QString& folder);
    static QString heldElsewhereMessage();

    // The bytes of a journal file for a state, and the reverse, for the file and its tests.
    static QByteArray encode(const JournalState& state);
    static LoadResult decode(const QByteArray& bytes, int edition);

  private:
    bool writeFile(const QByteArray& content);

    int m_edition;
    QString m_folder;
    bool m_failureReported = false;
    std::shared_ptr<QLockFile> m_lock;  // shared by the copies, held until the last one ends
};

}  // namespace norak
