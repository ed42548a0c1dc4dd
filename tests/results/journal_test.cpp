#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <iostream>

#include "engine/Edition.h"
#include "helpers/SimulatedTest.h"
#include "results/Journal.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"

using namespace norak;

namespace {

// Texts that a careless format would bend: accents, separators, quotes, escapes, line ends,
// characters outside the Basic Multilingual Plane, blanks that must stay, a long text.
const QStringList kEdgeTexts = {"Begoña Ibáñez",
                                "",
                                " ",
                                "a;b;c",
                                "\"quoted\"",
                                "back\\slash",
                                "line\nbreak",
                                "tab\there",
                                "🏐 Zevez",
                                "SHA1 0000",
                                "}{][",
                                QString(300, QLatin1Char('x')),
                                QString::fromUtf16(u"\u00e9\u0301"),
                                "NORAK-RECOVERY 1"};

JournalState filledState(int edition) {
    ResultsTable table(edition);
    const int columns = resultsColumnCount(edition);
    int n = 0;
    for (int row = 1; row <= table.dataRowCount(); ++row) {
        for (int column = 0; column < columns; ++column)
            table.setCell(column, row, kEdgeTexts[n++ % kEdgeTexts.size()]);
    }
    table.setResultsExported(1);
    JournalState state;
    state.takeTable(table);
    state.mode = TestMode::Repetir;
    state.startPeriod = 7;
    state.startSpeedText = QStringLiteral("9,5");
    state.startedAt = QDateTime(QDate(2026, 12, 8), QTime(17, 4, 5, 678));
    state.running = false;
    state.stoppedAt = QDateTime(QDate(2026, 12, 8), QTime(17, 31, 0, 1));
    return state;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

}  // namespace

TEST(JournalFile, RoundTripOfEveryCellAndFact) {
    for (int edition : {kEditionZevez, kEditionBasket}) {
        QTemporaryDir folder;
        Journal journal(edition, folder.path() + QStringLiteral("/state/norak"));
        const JournalState written = filledState(edition);
        ASSERT_EQ(journal.write(written), Journal::WriteResult::Written);

        const Journal::LoadResult loaded = Journal(edition, journal.folder()).load();
        ASSERT_EQ(loaded.status, Journal::LoadStatus::Loaded) << edition;
        EXPECT_EQ(loaded.state, written) << edition;

        // Put back into a table, every cell is what it was and the flag is as it was.
        ResultsTable restored(edition);
        loaded.state.putInto(restored);
        EXPECT_EQ(restored.resultsExported(), 1);
        int n = 0;
        for (int row = 1; row <= restored.dataRowCount(); ++row) {
            for (int column = 0; column < resultsColumnCount(edition); ++column)
                EXPECT_EQ(restored.cell(column, row), kEdgeTexts[n++ % kEdgeTexts.size()])
                    << row << ":" << column;
        }
        // A running test without a Stop time survives as such.
        JournalState running = written;
        running.running = true;
        running.stoppedAt = QDateTime();
        running.resultsExported = false;
        ASSERT_EQ(journal.write(running), Journal::WriteResult::Written);
        EXPECT_EQ(journal.load().state, running);
        // Only the journal is left in the folder: no temporary file beside it.
        EXPECT_EQ(QDir(journal.folder()).entryList(QDir::Files),
                  QStringList{QStringLiteral("recovery.journal")});
    }
}

TEST(JournalFile, FolderFromTheEnvironment) {
    const QByteArray savedState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/var/tmp/somewhere");
    EXPECT_EQ(Journal::defaultFolder(), QStringLiteral("/var/tmp/somewhere/norak"));
    // A relative or empty $XDG_STATE_HOME does not count.
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(Journal::defaultFolder(), QDir::homePath() + QStringLiteral("/.local/state/norak"));
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(Journal::defaultFolder(), QDir::homePath() + QStringLiteral("/.local/state/norak"));
    if (!savedState.isNull())
        qputenv("XDG_STATE_HOME", savedState);
}

TEST(JournalFile, EmptyTableKeepsNothingAndCleanEndRemoves) {
    QTemporaryDir folder;
    Journal journal(kEditionZevez, folder.path());
    JournalState empty;
    empty.takeTable(ResultsTable(kEditionZevez));
    EXPECT_EQ(journal.write(empty), Journal::WriteResult::Removed);
    EXPECT_FALSE(QFile::exists(journal.filePath()));

    // A table emptied after a write takes the stale journal with it.
    ASSERT_EQ(journal.write(filledState(kEditionZevez)), Journal::WriteResult::Written);
    EXPECT_EQ(journal.write(empty), Journal::WriteResult::Removed);
    EXPECT_EQ(journal.load().status, Journal::LoadStatus::Missing);

    ASSERT_EQ(journal.write(filledState(kEditionZevez)), Journal::WriteResult::Written);
    EXPECT_TRUE(journal.remove());
    EXPECT_EQ(journal.load().status, Journal::LoadStatus::Missing);
    EXPECT_TRUE(journal.remove());
}

TEST(JournalFile, FolderThatCannotBeWrittenIsReportedOnce) {
    QTemporaryDir folder;
    // A file where the folder should be: no rights are needed to fail, even as root.
    writeBytes(folder.filePath(QStringLiteral("norak")), "a file");
    Journal journal(kEditionZevez, folder.filePath(QStringLiteral("norak")));
    EXPECT_EQ(journal.write(filledState(kEditionZevez)), Journal::WriteResult::Failed);
    EXPECT_EQ(journal.write(filledState(kEditionZevez)), Journal::WriteResult::FailedAgain);
    EXPECT_EQ(journal.write(filledState(kEditionZevez)), Journal::WriteResult::FailedAgain);
    EXPECT_EQ(fileBytes(folder.filePath(QStringLiteral("norak"))), QByteArray("a file"));
    EXPECT_TRUE(Journal::notKeptMessage(journal.folder()).contains(journal.folder()));
}

TEST(JournalDamage, EveryCutOfAJournalIsRefused) {
    const QByteArray whole = Journal::encode(filledState(kEditionZevez));
    ASSERT_EQ(Journal::decode(whole, kEditionZevez).status, Journal::LoadStatus::Loaded);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const Journal::LoadStatus status = Journal::decode(whole.left(length), kEditionZevez).status;
        ASSERT_EQ(status, Journal::LoadStatus::Truncated) << "cut at " << length << " of " << whole.size();
    }
}

TEST(JournalDamage, BadJournalsAreSetAsideUnderANameOfTheirOwn) {
    const QByteArray whole = Journal::encode(filledState(kEditionZevez));
    QByteArray flipped = whole;
    flipped[whole.indexOf("Begoña") + 1] = 'E';
    QByteArray newer = whole;
    newer.replace("NORAK-RECOVERY 1\n", "NORAK-RECOVERY 2\n");
    const struct {
        const char* what;
        QByteArray bytes;
        Journal::LoadStatus status;
    } cases[] = {
        {"truncated", whole.left(whole.size() / 2), Journal::LoadStatus::Truncated},
        {"empty", QByteArray(), Journal::LoadStatus::Truncated},
        {"garbage",
         QByteArray("\x7f"
                    "ELF\x02\x01\x01\0\0\0 binary garbage",
                    24),
         Journal::LoadStatus::Foreign},
        {"foreign text", "Nº;Sujeto;Cod.\r\n1;Ana;V01\r\n", Journal::LoadStatus::Foreign},
        {"one byte changed", flipped, Journal::LoadStatus::Corrupt},
        {"newer format", newer, Journal::LoadStatus::Foreign},
        {"other edition", Journal::encode(filledState(kEditionBasket)), Journal::LoadStatus::OtherEdition},
    };
    const QDateTime now(QDate(2026, 12, 8), QTime(18, 2, 3));
    for (const auto& c : cases) {
        QTemporaryDir folder;
        Journal journal(kEditionZevez, folder.path());
        writeBytes(journal.filePath(), c.bytes);
        EXPECT_EQ(journal.load().status, c.status) << c.what;

        const QString aside = journal.setAside(now);
        EXPECT_EQ(aside, folder.filePath(QStringLiteral("recovery-20261208-180203.bad"))) << c.what;
        EXPECT_EQ(fileBytes(aside), c.bytes) << c.what;
        EXPECT_EQ(journal.load().status, Journal::LoadStatus::Missing) << c.what;
        EXPECT_TRUE(Journal::setAsideMessage(aside).contains(aside));

        // A second bad journal in the same second does not overwrite the first.
        writeBytes(journal.filePath(), c.bytes);
        EXPECT_EQ(journal.setAside(now), folder.filePath(QStringLiteral("recovery-20261208-180203-2.bad")));
    }
    // A journal that is not there cannot be set aside.
    QTemporaryDir folder;
    EXPECT_TRUE(Journal(kEditionZevez, folder.path()).setAside(now).isEmpty());
}

// However many bad journals come in one second, each is set aside under a name of its own,
// the third and later too, and none stays at the journal's path.
TEST(JournalDamage, ManyBadJournalsInOneSecondAllKeepTheirOwnNames) {
    QTemporaryDir folder;
    Journal journal(kEditionZevez, folder.path());
    const QDateTime now(QDate(2026, 12, 8), QTime(18, 2, 3));
    QSet<QString> names;
    for (int i = 1; i <= 5; ++i) {
        const QByteArray bytes = "broken journal " + QByteArray::number(i);
        writeBytes(journal.filePath(), bytes);
        const QString aside = journal.setAside(now);
        ASSERT_FALSE(aside.isEmpty()) << i;
        EXPECT_TRUE(aside.startsWith(folder.filePath(QStringLiteral("recovery-20261208-180203"))))
            << aside.toStdString();
        EXPECT_EQ(fileBytes(aside), bytes) << i;
        EXPECT_FALSE(QFileInfo::exists(journal.filePath())) << i;
        names.insert(aside);
    }
    EXPECT_EQ(names.size(), 5);
    for (const QString& name : names)  // nothing overwritten later
        EXPECT_TRUE(fileBytes(name).startsWith("broken journal ")) << name.toStdString();
}

// A child process plays a test through the journal and is killed with SIGKILL at a random
// instant, twenty times over the same folder. Each time the journal holds exactly the last state
// the child completed, or the one it was writing when it died: nothing lost, nothing broken.
TEST(JournalCrash, KilledAtTwentyRandomInstantsLosesNothing) {
    constexpr int kStates = 100000;
    QTemporaryDir folder;
    QRandomGenerator random(20261208);
    int lost = 0;
    int broken = 0;
    int midWrite = 0;  // kills that fell inside a write, the moments that matter
    for (int round = 0; round < 20; ++round) {
        const quint32 seed = 1000 + round;
        QProcess child;
        child.setProgram(QStringLiteral(NORAK_JOURNAL_WRITER));
        child.setArguments({folder.path(), QString::number(seed), QString::number(kStates)});
        child.start();
        ASSERT_TRUE(child.waitForStarted(5000));
        QByteArray output;
        // Let it complete at least one state, then kill it somewhere in what follows.
        while (!output.contains("d 1\n") && child.state() == QProcess::Running) {
            child.waitForReadyRead(5000);
            output += child.readAllStandardOutput();
        }
        ASSERT_EQ(child.state(), QProcess::Running) << "the child ended on its own: " << child.exitCode()
                                                    << child.readAllStandardError().toStdString();
        QThread::usleep(random.bounded(1, 40000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(5000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
            << "the child ended on its own: " << child.exitCode();
        output += child.readAllStandardOutput();

        int begun = 0;
        int done = 0;
        for (const QByteArray& line : output.split('\n')) {
            if (line.startsWith("w "))
                begun = line.mid(2).toInt();
            else if (line.startsWith("d "))
                done = line.mid(2).toInt();
        }
        ASSERT_GE(done, 1);
        if (begun == done + 1)
            ++midWrite;
        const QList<JournalState> states = simulatedStates(seed, begun);
        const Journal::LoadResult loaded = Journal(kEditionZevez, folder.path()).load();
        if (loaded.status != Journal::LoadStatus::Loaded)
            ++broken;
        else if (loaded.state != states[done] && !(begun == done + 1 && loaded.state == states[begun]))
            ++lost;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(broken, 0);
    // Writing is nearly all the child does, so nearly every kill lands inside one.
    EXPECT_GE(midWrite, 10);
    std::cout << "kills inside a write: " << midWrite << " of 20\n";
    // Nothing set aside, and at most the one temporary file of the write that was cut.
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.bad")}, QDir::Files).isEmpty());
    EXPECT_LE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
}
