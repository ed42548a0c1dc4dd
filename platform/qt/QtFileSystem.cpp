#include "platform/qt/QtFileSystem.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace norak {

namespace {

// What stands at a path, following symbolic links.
enum class Target { Missing, RegularFile, CharacterDevice, Other };

Target targetAt(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT ? Target::Missing : Target::Other;
    if (S_ISREG(info.st_mode))
        return Target::RegularFile;
    if (S_ISCHR(info.st_mode))
        return Target::CharacterDevice;
    return Target::Other;
}

// A device takes the bytes where it stands; it is never replaced. A short write (a full device)
// is a failure.
bool writeToDevice(const QString& path, const QByteArray& content) {
    QFile device(path);
    if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::ExistingOnly))
        return false;
    const bool written = device.write(content) == content.size();
    device.close();
    return written && device.error() == QFileDevice::NoError;
}

}  // namespace

QString QtFileSystem::programFilePath() const {
    return QCoreApplication::applicationFilePath();
}

QString QtFileSystem::currentFolder() const {
    // A folder whose name is no valid text in the system's encoding would come back under a
    // look-alike name (its odd bytes replaced), and a folder made under it would land beside the
    // real one. Such a folder is named through the process's link to its current folder, a path
    // of plain text that the system resolves to the folder's own bytes.
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    if (!cwd)
        return QDir::currentPath();
    const QByteArray bytes(cwd.get());
    const QString name = QFile::decodeName(bytes);
    if (QFile::encodeName(name) == bytes)
        return name;
    const QString link = QStringLiteral("/proc/self/cwd");
    return QFileInfo(link).isDir() ? link : QStringLiteral(".");
}

QString QtFileSystem::homeFolder() const {
    return QDir::homePath();
}

bool QtFileSystem::folderExists(const QString& path) const {
    return QFileInfo(path).isDir();
}

bool QtFileSystem::createFolder(const QString& path) {
    return QDir().mkpath(path) && folderExists(path);
}

bool QtFileSystem::writeFileAtomically(const QString& path, const QByteArray& content) {
    switch (targetAt(path)) {
        case Target::Missing:
        case Target::RegularFile:
            break;
        case Target::CharacterDevice:
            // Renaming a new file over a device node (as root, say /dev/full) would replace the
            // device itself; a device is written in place instead.
            return writeToDevice(path, content);
        case Target::Other:
            // A folder, a pipe (opening it would wait for a reader) or a socket: no export there.
            return false;
    }
    // QSaveFile writes a temporary file beside the target and renames it over the target only
    // when everything was written, so a failure (disk full, no rights) leaves the old file intact.
    // Unbuffered, so that a write the disk cannot take fails here: a buffered write would be
    // flushed by commit(), which reports success for a file that the full disk left short.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace norak
