#pragma once

#include "platform/FileSystem.h"

namespace norak {

// Files on the local disk. A regular file is replaced as a whole through a temporary file beside
// it; a character device (say /dev/null or /dev/full) is written where it stands and never
// replaced; a pipe, a socket or a folder is no place for an export and is refused.
class QtFileSystem : public FileSystem {
  public:
    QString programFilePath() const override;
    QString currentFolder() const override;
    QString homeFolder() const override;
    bool folderExists(const QString& path) const override;
    bool createFolder(const QString& path) override;
    bool writeFileAtomically(const QString& path, const QByteArray& content) override;
};

}  // namespace norak
