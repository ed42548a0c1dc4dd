#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

#include "club/ClubServer.h"

namespace norak {

// What a sync did, or why it stopped.
struct ClubSyncReport {
    ClubProblem problem;  // none: the sync completed
    int testsSent = 0;
    int testsReceived = 0;
    int playersSent = 0;
    int playersReceived = 0;
    int deletionsSent = 0;
    int deletionsReceived = 0;
    // Entries of one person made on two laptops (same name and code), merged by this sync.
    int playersJoined = 0;
    // A player renamed differently on this laptop and on another: which names, which stayed.
    QStringList conflicts;
    // Wall time of the receiving and of the sending (connection and schema check not included).
    qint64 receivingMs = 0;
    qint64 sendingMs = 0;
    bool ok() const { return !problem; }
    // The result in the coach's words (figures, then the conflicts).
    QString summary() const;
};

// The sync of the laptop's history (history/HistoryDatabase) with the club's server.
//
// First it receives what other laptops sent since the last change number it received, then it
// sends what this laptop has and the server lacks (tests, players with their renames and merges,
// deleted tests). Every batch is one transaction on the server; the laptop marks a batch as sent
// only after the server committed it, and writes what it received in transactions of its own,
// each page of tests with the "received up to" mark of its last test. So a sync cut at any moment (network,
// program killed) leaves both sides consistent, and the next one sends or receives again what
// was not marked, where UUIDs and modification dates make doing it twice the same as once.
//
// Rules: a test is one UUID; an imported export file that two laptops imported is one test (by
// its content's fingerprint: the laptop takes the server's UUID); a deleted test stays deleted;
// a player's name is the latest rename (a rename on two laptops since they last synced is listed
// as a conflict); a merge is never undone; two entries of the same name and code made on two
// laptops are one person (merged, see joinSamePerson in the source).
//
// Receiving is most of a laptop's first sync with a big club (100,000 tests in 8-9 s, see the
// README's figures): pages of 1,000 tests, statements prepared once, the rows moved through libpq
// and SQLite's own interfaces, the results' indexes by player made after the rows.
//
// run() takes its own connections (the history's file and the server), so it runs in any thread;
// setTestRunning() may be called from another thread.
class ClubSync {
  public:
    ClubSync() = default;

    // While a test runs nothing syncs: run() refuses, and a sync under way stops after its batch.
    void setTestRunning(bool running) { m_testRunning = running; }
    bool testRunning() const { return m_testRunning; }

    // Tests per batch sent (one server transaction each; 250 by default) and per page received
    // (one transaction of the laptop's each; 1,000 by default).
    void setBatchSize(int sent, int received = 1000) {
        m_batchSize = sent > 0 ? sent : 1;
        m_receivePage = received > 0 ? received : 1;
    }
    // From this many tests to receive (5,000 by default), and no fewer than the laptop holds, the
    // results' indexes by player are made after the rows rather than kept row by row.
    void setIndexDeferral(int fromTests) { m_deferIndexesFrom = fromTests > 0 ? fromTests : 1; }
    // Called after each batch: sent (the server committed it, the laptop has yet to mark it), or
    // received (a page of tests written here). False stops the sync there, as a program killed
    // at that moment would (for tests).
    void setAfterBatch(std::function<bool()> hook) { m_afterBatch = std::move(hook); }

    ClubSyncReport run(const QString& historyPath, const ClubServerSettings& settings);

  private:
    friend class ClubSyncPass;
    std::atomic<bool> m_testRunning{false};
    int m_batchSize = 250;
    int m_receivePage = 1000;
    int m_deferIndexesFrom = 5000;
    std::function<bool()> m_afterBatch;
};

// Tries the server as "Probar" does: connects and reads the schema without changing anything.
// Empty when the server can be used; else what failed. `note` says what the sync will find
// (an empty database is made on the first sync).
ClubProblem testClubServer(const ClubServerSettings& settings, QString* note = nullptr);

}  // namespace norak

Q_DECLARE_METATYPE(norak::ClubSyncReport)
