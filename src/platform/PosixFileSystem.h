#pragma once

#include "platform/FileSystem.h"

namespace varnotel {

// The real file system, through POSIX calls: fast to enumerate (no stat for
// entries whose type the folder already tells) and exact about what replaces what.
class PosixFileSystem final : public FileSystem {
public:
    bool fileExists(const QString &path) const override;
    bool folderExists(const QString &path) const override;
    bool entryExists(const QString &path) const override;
    bool isSymLink(const QString &path) const override;
    QList<DirEntry> entries(const QString &folder) const override;
    std::optional<FolderId> folderId(const QString &path) const override;
    FsResult createFolder(const QString &path) override;
    FsResult removeFolder(const QString &path) override;
    FsResult removeFile(const QString &path) override;
    FsResult moveToTrash(const QString &path) override;
    FsResult renameNoReplace(const QString &from, const QString &to) override;
    FsResult copyFile(const QString &from, const QString &to) override;
    FsResult writeFile(const QString &path, const QByteArray &bytes) override;
    FsResult readFile(const QString &path, qint64 maxBytes, QByteArray &bytes,
                      bool &truncated) const override;
};

} // namespace varnotel
