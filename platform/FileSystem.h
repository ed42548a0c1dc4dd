#pragma once

#include <QByteArray>
#include <QString>

namespace norak {

// Files and folders as the program sees them. Paths use "/" on this platform.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual QString programFilePath() const = 0;
    virtual QString currentFolder() const = 0;
    virtual QString homeFolder() const = 0;
    virtual bool folderExists(const QString& path) const = 0;
    // Creates the folder and its parents; true when it exists afterwards.
    virtual bool createFolder(const QString& path) = 0;
    // Replaces the file's content as a whole: on any failure the old file is left intact.
    virtual bool writeFileAtomically(const QString& path, const QByteArray& content) = 0;
};

}  // namespace norak
