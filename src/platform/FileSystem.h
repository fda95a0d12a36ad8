#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace varnotel {

// The outcome of one file-system operation; the error text is the system's own
// reason (strerror), to be put into a bilingual message by the caller.
struct FsResult {
    bool ok = true;
    QString error;

    static FsResult success() { return {}; }
    static FsResult failure(const QString &reason) { return {false, reason}; }
    explicit operator bool() const { return ok; }
};

// Identity of a folder on disk, so that a scan that follows links visits a
// folder once and a link loop cannot make it run forever.
struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FolderId &, const FolderId &) = default;
};

struct DirEntry {
    enum class Kind { File, Folder };
    QString name;
    Kind kind = Kind::File;
    FolderId folderId; // set for folders only
};

// Everything the program does to the disk goes through this seam. Linux has no
// hidden or system attribute: regular files (dot-files and read-only ones
// included) are files; sockets, FIFOs, devices and dangling links are system
// entries that are neither listed nor found. Links are followed.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual bool fileExists(const QString &path) const = 0;   // regular files only
    virtual bool folderExists(const QString &path) const = 0; // folders only
    virtual bool entryExists(const QString &path) const = 0;  // a file or a folder
    virtual bool isSymLink(const QString &path) const = 0;    // the entry itself is a link

    // The files and folders of a folder, sorted by name case-insensitively,
    // ties by exact name. A missing or unreadable folder yields nothing.
    virtual QList<DirEntry> entries(const QString &folder) const = 0;
    virtual std::optional<FolderId> folderId(const QString &path) const = 0;

    virtual FsResult createFolder(const QString &path) = 0;
    virtual FsResult removeFolder(const QString &path) = 0; // an empty folder only
    virtual FsResult removeFile(const QString &path) = 0;
    virtual FsResult moveToTrash(const QString &path) = 0;
    // Never replaces an existing target, even when one appears meanwhile.
    virtual FsResult renameNoReplace(const QString &from, const QString &to) = 0;
    virtual FsResult copyFile(const QString &from, const QString &to) = 0; // replaces the target

    // Creates or truncates the file and writes the bytes.
    virtual FsResult writeFile(const QString &path, const QByteArray &bytes) = 0;
    // Reads at most maxBytes; truncated tells whether the file holds more.
    virtual FsResult readFile(const QString &path, qint64 maxBytes, QByteArray &bytes,
                              bool &truncated) const = 0;
};

} // namespace varnotel
