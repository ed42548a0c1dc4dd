#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "platform/qt/QtFileSystem.h"
#include "support/FileSizeLimit.h"

using namespace norak;

// Faults of the export target. Device nodes are never touched where the system keeps them: a
// node made in a temporary folder stands in for /dev/full and /dev/null, so a fault that replaced
// the target could only replace the stand-in.

namespace {

QByteArray pathBytes(const QString& path) {
    return QFile::encodeName(path);
}

struct stat statOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(pathBytes(path).constData(), &info), 0) << path.toStdString();
    return info;
}

// A character device node like /dev/full (1, 7) or /dev/null (1, 3); false where nodes cannot be
// made (no rights, or a file system that refuses them).
bool makeDeviceNode(const QString& path, unsigned minor) {
    return ::mknod(pathBytes(path).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

TEST(QtFileSystemFaults, DeviceTargetsAreWrittenInPlaceAndNeverReplaced) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString full = dir.filePath(QStringLiteral("full"));
    const QString null = dir.filePath(QStringLiteral("null"));
    if (!makeDeviceNode(full, 7) || !makeDeviceNode(null, 3))
        GTEST_SKIP() << "device nodes cannot be made here";
    const QString linkToFull = dir.filePath(QStringLiteral("export.txt"));
    ASSERT_EQ(::symlink(pathBytes(full).constData(), pathBytes(linkToFull).constData()), 0);

    QtFileSystem files;
    const QByteArray content("NORAK-Zevez\r\n;;;;;;;;\r\n");
    // A full device refuses the bytes: the export fails, and the device is still the device.
    EXPECT_FALSE(files.writeFileAtomically(full, content));
    EXPECT_FALSE(files.writeFileAtomically(linkToFull, content));
    // The null device swallows them.
    EXPECT_TRUE(files.writeFileAtomically(null, content));

    for (const QString& node : {full, null}) {
        const struct stat after = statOf(node);
        EXPECT_TRUE(S_ISCHR(after.st_mode)) << node.toStdString() << " was replaced";
    }
    EXPECT_EQ(major(statOf(full).st_rdev), 1u);
    EXPECT_EQ(minor(statOf(full).st_rdev), 7u);
    EXPECT_TRUE(S_ISLNK(statOf(linkToFull).st_mode));
    // Nothing was left beside the targets.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 3);
}

TEST(QtFileSystemFaults, PipesFoldersAndFilesInPlaceOfAFolderAreRefusedAtOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pipe = dir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(::mkfifo(pathBytes(pipe).constData(), 0600), 0);
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    {
        QFile f(plainFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }

    QtFileSystem files;
    QElapsedTimer timer;
    timer.start();
    // A pipe without a reader: refused, not waited on, and still a pipe.
    EXPECT_FALSE(files.writeFileAtomically(pipe, "x"));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(S_ISFIFO(statOf(pipe).st_mode));
    // A folder, a folder that is a file (as a read-only place for an export), a missing folder.
    EXPECT_FALSE(files.writeFileAtomically(dir.path(), "x"));
    EXPECT_FALSE(files.writeFileAtomically(plainFile + QStringLiteral("/export.txt"), "x"));
    EXPECT_FALSE(files.writeFileAtomically(dir.filePath(QStringLiteral("gone/export.txt")), "x"));
    EXPECT_EQ(readAll(plainFile), QByteArray("old"));

    // A regular file is still replaced as a whole, also through a link, which stays a link.
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_EQ(::symlink(pathBytes(plainFile).constData(), pathBytes(link).constData()), 0);
    EXPECT_TRUE(files.writeFileAtomically(link, "new content"));
    EXPECT_EQ(readAll(plainFile), QByteArray("new content"));
    EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
}

TEST(QtFileSystemFaults, AFullDiskLeavesTheOldFileAndNoTemporaryFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("NORAK-Zevez_06-12-26.txt"));
    QtFileSystem files;
    ASSERT_TRUE(files.writeFileAtomically(path, "first export\r\n"));

    {
        norak::testing::FileSizeLimit nearlyFull(64);
        if (!nearlyFull.active())
            GTEST_SKIP() << "the file size limit cannot be set";
        EXPECT_FALSE(files.writeFileAtomically(path, QByteArray(4096, 'x')));
        // A small file still fits.
        EXPECT_TRUE(files.writeFileAtomically(path, "second\r\n"));
        EXPECT_FALSE(files.writeFileAtomically(path, QByteArray(65, 'y')));
    }
    EXPECT_EQ(readAll(path), QByteArray("second\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(QtFileSystemFaults, AFolderNameThatIsNoTextKeepsItsBytes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray parent = pathBytes(dir.path());
    const QByteArray odd = parent + "/bad-\xff\xfe-name";
    ASSERT_EQ(::mkdir(odd.constData(), 0755), 0);
    const QString before = QDir::currentPath();
    ASSERT_EQ(::chdir(odd.constData()), 0);

    // The export folder is made, and the export written, in the folder the program runs in.
    QtFileSystem files;
    QString folder = files.currentFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const bool made = files.createFolder(folder + QStringLiteral("Export"));
    const bool written = files.writeFileAtomically(folder + QStringLiteral("Export/a.txt"), "1;2\r\n");
    const bool seen = files.folderExists(folder + QStringLiteral("Export"));
    ASSERT_EQ(::chdir(pathBytes(before).constData()), 0);

    EXPECT_TRUE(made && written && seen);
    struct stat info {};
    EXPECT_EQ(::stat((odd + "/Export/a.txt").constData(), &info), 0);
    // No look-alike folder with the odd bytes replaced beside the real one.
    EXPECT_NE(::stat((parent + "/bad-\xef\xbf\xbd\xef\xbf\xbd-name").constData(), &info), 0);
    // The temporary folder cannot name what lies under the odd folder: cleared by its bytes.
    ::unlink((odd + "/Export/a.txt").constData());
    ::rmdir((odd + "/Export").constData());
    ::rmdir(odd.constData());
}
