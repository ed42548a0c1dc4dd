#include "platform/QtFileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace norak {

QString QtFileSystem::programFilePath() const {
    return QCoreApplication::applicationFilePath();
}

QString QtFileSystem::currentFolder() const {
    return QDir::currentPath();
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
    // QSaveFile writes a temporary file beside the target and renames it over the target only
    // when everything was written, so a failure (disk full, no rights) leaves the old file intact.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace norak
