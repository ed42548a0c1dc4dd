#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "engine/Edition.h"
#include "results/JournalWriter.h"
#include "support/SimulatedTest.h"

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
