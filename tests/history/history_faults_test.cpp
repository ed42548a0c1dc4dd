#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <iostream>

#include "history/HistoryDatabase.h"
#include "support/FileSizeLimit.h"
#include "support/HistorySamples.h"

using namespace norak;

namespace {

StoredTest withoutPlayers(StoredTest test) {
    for (StoredRow& row : test.rows)
        row.playerUuid.clear();
    return test;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the helper on a database; as root, as the unprivileged user "nobody", for whom a folder
// without write rights is one (root writes anywhere).
QString runHelper(const QString& path) {
    QProcess child;
    child.setProgram(QStringLiteral(NORAK_HISTORY_WRITER));
    child.setArguments({QStringLiteral("open"), path});
    if (::geteuid() == 0) {
        child.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(9);
        });
    }
    child.start();
    if (!child.waitForFinished(20000))
        return QStringLiteral("timeout");
    return QString::fromUtf8(child.readAllStandardOutput() + child.readAllStandardError());
}

}  // namespace

// A folder without write rights: a new history cannot be made and an existing one cannot be
// written: one clear message naming the folder, nothing stored, nothing altered.
TEST(HistoryFaults, ReadOnlyFolder) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("norak"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString existing = folder + QStringLiteral("/historial.sqlite");
    const StoredTest test = sampleTest(kEditionZevez, 21, 1, 3);
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(existing).status, HistoryOpening::Status::Ready);
        ASSERT_TRUE(db.store(test).ok());
    }
    const QByteArray before = readFile(existing);
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(existing, QFileDevice::ReadOwner | QFileDevice::ReadOther));

    const QString made = runHelper(folder + QStringLiteral("/nuevo.sqlite"));
    EXPECT_TRUE(made.startsWith(QStringLiteral("status 2\n"))) << made.toStdString();
    EXPECT_TRUE(made.contains(QStringLiteral("no permite escribir"))) << made.toStdString();
    EXPECT_TRUE(made.contains(folder)) << made.toStdString();
    EXPECT_TRUE(made.contains(QStringLiteral("store 4"))) << made.toStdString();

    const QString kept = runHelper(existing);
    EXPECT_TRUE(kept.startsWith(QStringLiteral("status 2\n"))) << kept.toStdString();
    EXPECT_TRUE(kept.contains(QStringLiteral("no permite escribir"))) << kept.toStdString();
    EXPECT_EQ(readFile(existing), before);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/nuevo.sqlite")));

    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(existing, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    HistoryDatabase db;
    ASSERT_EQ(db.open(existing).status, HistoryOpening::Status::Ready);
    EXPECT_EQ(withoutPlayers(*db.test(test.uuid)), test);
}

// A disk that fills up while tests are stored: the store that does not fit fails with one clear
// message and leaves nothing half written; every test stored before is there once room is back.
TEST(HistoryFaults, FullDiskLosesNothingStoredBefore) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historial.sqlite"));
    QList<StoredTest> stored;
    StoreResult failed;
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(path).status, HistoryOpening::Status::Ready);
        norak::testing::FileSizeLimit nearlyFull(4 * 1024 * 1024);
        if (!nearlyFull.active())
            GTEST_SKIP() << "the file size limit cannot be set";
        for (int n = 1; n <= 400; ++n) {
            const StoredTest test = sampleTest(kEditionZevez, 22, n);
            const StoreResult result = db.store(test);
            if (!result.ok()) {
                failed = result;
                break;
            }
            stored.push_back(test);
        }
    }
    ASSERT_EQ(failed.outcome, StoreResult::Outcome::Failed) << "the limit was never reached";
    EXPECT_GT(stored.size(), 5);  // each store writes some 16 KB pages to the log
    EXPECT_TRUE(
        failed.message.startsWith(QStringLiteral("No se ha podido guardar la prueba en el historial:")));
    EXPECT_TRUE(failed.message.contains(QStringLiteral("disco"))) << failed.message.toStdString();

    HistoryDatabase db;
    const HistoryOpening opening = db.open(path);
    ASSERT_EQ(opening.status, HistoryOpening::Status::Ready) << opening.message.toStdString();
    EXPECT_TRUE(opening.setAsidePath.isEmpty());
    ASSERT_EQ(db.tests().size(), stored.size());
    for (const StoredTest& test : stored)
        EXPECT_EQ(withoutPlayers(*db.test(test.uuid)), test);
}

// A file that is no database, and a database cut short: the user is told (before the file is
// moved), the file is set aside whole under another name, and a new history is made.
TEST(HistoryFaults, NotADatabaseAndTruncatedAreSetAside) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historial.sqlite"));
    const QByteArray text = "Esto es una lista de la compra, no un historial.\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QStringList told;
    bool presentWhenTold = false;
    {
        HistoryDatabase db;
        const HistoryOpening opening = db.open(path, [&](const QString& message) {
            told << message;
            presentWhenTold = readFile(path) == text;
        });
        ASSERT_EQ(opening.status, HistoryOpening::Status::Ready) << opening.message.toStdString();
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(presentWhenTold);
        EXPECT_EQ(opening.message, told[0]);
        EXPECT_TRUE(opening.message.contains(QStringLiteral("dañado o no es un historial")));
        EXPECT_TRUE(opening.message.contains(opening.setAsidePath));
        EXPECT_EQ(readFile(opening.setAsidePath), text);
        for (int n = 1; n <= 60; ++n)
            ASSERT_TRUE(db.store(sampleTest(kEditionFutbol, 23, n)).ok());
    }
    // The history now holds 60 tests; cut the file in half.
    const QByteArray whole = readFile(path);
    ASSERT_GT(whole.size(), 64 * 1024);
    {
        QFile file(path);
        ASSERT_TRUE(file.resize(whole.size() / 2));
    }
    told.clear();
    HistoryDatabase db;
    // Found without reading every page: the header says the file is longer.
    const HistoryOpening opening = db.open(
        path, [&](const QString& message) { told << message; }, false);
    ASSERT_EQ(opening.status, HistoryOpening::Status::Ready) << opening.message.toStdString();
    EXPECT_EQ(told.size(), 1);
    EXPECT_FALSE(opening.setAsidePath.isEmpty());
    EXPECT_EQ(readFile(opening.setAsidePath), whole.left(whole.size() / 2));
    EXPECT_TRUE(db.tests().isEmpty());
    EXPECT_TRUE(db.store(sampleTest(kEditionFutbol, 23, 1)).ok());
}

// A child process stores tests and is killed with SIGKILL at a random instant, twenty times over
// the same file. Each time the history opens as it is (nothing set aside) and holds every test
// completed before the kill, equal, and at most the one being stored besides.
TEST(HistoryCrash, KilledAtTwentyRandomInstantsKeepsEveryCompletedTest) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historial.sqlite"));
    QRandomGenerator random(20261208);
    int midStore = 0;
    QList<StoredTest> completed;
    for (int round = 0; round < 20; ++round) {
        const quint32 seed = 2000 + round;
        QProcess child;
        child.setProgram(QStringLiteral(NORAK_HISTORY_WRITER));
        child.setArguments({QStringLiteral("store"), path, QString::number(seed), QStringLiteral("100000")});
        child.start();
        ASSERT_TRUE(child.waitForStarted(5000));
        QByteArray output;
        while (!output.contains("d 1\n") && child.state() == QProcess::Running) {
            child.waitForReadyRead(5000);
            output += child.readAllStandardOutput();
        }
        ASSERT_EQ(child.state(), QProcess::Running) << "the child ended on its own: " << child.exitCode();
        QThread::usleep(random.bounded(1, 60000));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(5000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);
        output += child.readAllStandardOutput();
        int begun = 0;
        int done = 0;
        for (const QByteArray& line : output.split('\n')) {
            if (line.startsWith("w "))
                begun = line.mid(2).toInt();
            else if (line.startsWith("d "))
                done = line.mid(2).toInt();
        }
        if (begun == done + 1)
            ++midStore;
        for (int n = 1; n <= done; ++n)
            completed.push_back(sampleTest(kEditionZevez, seed, n));

        HistoryDatabase db;
        const HistoryOpening opening = db.open(path);
        ASSERT_EQ(opening.status, HistoryOpening::Status::Ready) << opening.message.toStdString();
        ASSERT_TRUE(opening.setAsidePath.isEmpty()) << "round " << round;
        for (const StoredTest& test : completed) {
            const std::optional<StoredTest> back = db.test(test.uuid);
            ASSERT_TRUE(back) << "round " << round << " lost " << test.uuid.toStdString();
            EXPECT_EQ(withoutPlayers(*back), test);
        }
        const qsizetype extra = db.tests().size() - completed.size();
        EXPECT_TRUE(extra == 0 || (extra == 1 && begun == done + 1)) << "round " << round;
        if (extra == 1)
            completed.push_back(sampleTest(kEditionZevez, seed, begun));
    }
    std::cout << "kills inside a store: " << midStore << " of 20, tests kept: " << completed.size() << "\n";
    EXPECT_GE(midStore, 10);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.danado-*")}, QDir::Files).isEmpty());
}
