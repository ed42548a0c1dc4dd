#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "engine/Edition.h"
#include "helpers/SimulatedTest.h"
#include "results/JournalWriter.h"

using namespace norak;

TEST(JournalWriter, PostsNeverWaitAndTheNewestStateIsWhatStays) {
    QTemporaryDir folder;
    const Journal journal(kEditionZevez, folder.path());
    const QList<JournalState> states = simulatedStates(7, 300);
    {
        JournalWriter writer(journal);
        QElapsedTimer took;
        took.start();
        for (int n = 1; n <= 300; ++n)
            writer.post(states[n]);
        // Each write syncs the disk twice; posting waits for none of them.
        EXPECT_LT(took.elapsed(), 100);
        writer.waitUntilWritten();
        EXPECT_EQ(journal.load().state, states[300]);

        writer.post(states[12]);
        writer.removeJournal();
        writer.waitUntilWritten();
        EXPECT_EQ(journal.load().status, Journal::LoadStatus::Missing);

        // What is posted last before the end is on disk when the writer has gone.
        writer.post(states[42]);
    }
    EXPECT_EQ(journal.load().state, states[42]);
}

TEST(JournalWriter, AFolderThatCannotBeWrittenIsAnnouncedOnce) {
    QTemporaryDir folder;
    QFile blocker(folder.filePath(QStringLiteral("norak")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    JournalWriter writer(Journal(kEditionZevez, blocker.fileName()));
    QSignalSpy failed(&writer, &JournalWriter::writeFailed);
    const QList<JournalState> states = simulatedStates(8, 5);
    for (int n = 1; n <= 5; ++n) {
        writer.post(states[n]);
        writer.waitUntilWritten();
    }
    // The spy hears the writer's thread directly: the signal has come by the time it is idle.
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed.first().first().toString(), blocker.fileName());
}

// A state posted after a removal was asked for is the newest request and ends up on disk, even
// while the removal still waits for the writer. The writer is held mid-write (its first write
// fails, and the failure's receiver waits) so that both requests are pending together.
TEST(JournalWriter, AStatePostedAfterARemovalStillPendingIsWritten) {
    QTemporaryDir folder;
    QFile blocker(folder.filePath(QStringLiteral("norak")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Journal journal(kEditionZevez, blocker.fileName());
    JournalWriter writer(journal);
    QSemaphore entered, release;
    QObject::connect(
        &writer, &JournalWriter::writeFailed, &writer,
        [&] {
            entered.release();
            release.acquire();
        },
        Qt::DirectConnection);
    const QList<JournalState> states = simulatedStates(9, 3);
    writer.post(states[1]);
    ASSERT_TRUE(entered.tryAcquire(1, 30000));
    writer.removeJournal();
    writer.post(states[2]);
    ASSERT_TRUE(QFile::remove(blocker.fileName()));  // the folder can be made from now on
    release.release();
    writer.waitUntilWritten();
    EXPECT_EQ(journal.load().status, Journal::LoadStatus::Loaded);
    EXPECT_EQ(journal.load().state, states[2]);
}
