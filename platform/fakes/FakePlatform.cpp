#include "platform/fakes/FakePlatform.h"

#include "platform/qt/QtFileSystem.h"

namespace norak {

static QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool FakeFileSystem::folderExists(const QString& path) const {
    if (m_useRealFiles)
        return QtFileSystem().folderExists(path);
    return m_folders.contains(withoutTrailingSlash(path));
}

bool FakeFileSystem::createFolder(const QString& path) {
    if (m_failCreateFolder)
        return false;
    if (m_useRealFiles)
        return QtFileSystem().createFolder(path);
    m_folders.insert(withoutTrailingSlash(path));
    return true;
}

bool FakeFileSystem::writeFileAtomically(const QString& path, const QByteArray& content) {
    if (m_failWrites)
        return false;
    if (m_useRealFiles)
        return QtFileSystem().writeFileAtomically(path, content);
    m_files.insert(path, content);
    return true;
}

}  // namespace norak
