#pragma once

#include "platform/FileSystem.h"

namespace norak {

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
