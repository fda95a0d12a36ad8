#pragma once

#include "platform/FileSystem.h"

#include <unordered_map>

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
    QStringList scratchFiles(const QString &folder) const override;
    Result removeScratchFile(const QString &path) override;
    std::optional<EntryId> folderId(const QString &path) const override;
    std::optional<EntryId> entryId(const QString &path) const override;
    FolderTrust folderTrust(const QString &path) const override;
    EntryStatus status(const QString &path) const override;
    std::unique_ptr<FolderCursor> cursor(const QString &root) const override;
    qint64 timestampSlackNs() const override;
    std::unique_ptr<FolderWatch> createFolderWatch() const override;

    Result createFolder(const QString &path) override;
    Result createPrivateFolder(const QString &path) override;
    Result removeFolder(const QString &path) override;
    Result removeFile(const QString &path) override;
    Result renameNoReplace(const QString &from, const QString &to) override;
    Result copyFile(const QString &from, const QString &to, const CopyProgress &progress) override;
    Result replaceFile(const QString &from, const QString &to) override;
    Result writeFile(const QString &path, const QByteArray &bytes) override;
    Result readFile(const QString &path, qint64 maxBytes, QByteArray &bytes, bool &truncated) const override;

private:
    // Per device, whether its folder entries name true inodes: asked once.
    mutable std::unordered_map<quint64, bool> m_trueEntryInodes;
};

} // namespace varnotel
