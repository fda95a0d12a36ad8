#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace varnotel {

// Identity of an entry on disk: a scan that follows links visits each folder
// once, so a link loop cannot make it run forever; the trash compares devices.
struct EntryId {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const EntryId &, const EntryId &) = default;
};

struct DirEntry {
    enum class Kind { File, Folder };
    QString name;
    Kind kind = Kind::File;
    EntryId folderId; // set for folders only
};

// Told after each piece of a copy: the bytes copied so far and the size of the
// whole file. Returning false cancels the copy.
using CopyProgress = std::function<bool(qint64 copied, qint64 total)>;

// Everything the program does to the disk goes through this seam. Linux has no
// hidden or system attribute: regular files (dot-files and read-only ones
// included) are files; sockets, FIFOs, devices and dangling links are system
// entries that are neither listed nor found. Links are followed, except where
// a member says otherwise.
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
    virtual std::optional<EntryId> folderId(const QString &path) const = 0;
    // The entry itself, a link not followed.
    virtual std::optional<EntryId> entryId(const QString &path) const = 0;

    virtual Result createFolder(const QString &path) = 0;
    // Readable and writable by the user alone, as the trash must be.
    virtual Result createPrivateFolder(const QString &path) = 0;
    virtual Result removeFolder(const QString &path) = 0; // an empty folder only
    virtual Result removeFile(const QString &path) = 0;   // a link itself, never its target
    // Never replaces an existing target, even when one appears meanwhile.
    virtual Result renameNoReplace(const QString &from, const QString &to) = 0;
    // Copies a regular file into a new file, which must not exist yet (nothing
    // found at `to` is replaced or written through), piece by piece, telling
    // progress after each piece. A failed or cancelled copy removes what it wrote.
    virtual Result copyFile(const QString &from, const QString &to, const CopyProgress &progress) = 0;
    // Puts a file in another's place in one step, replacing a file, or a link
    // itself, found there; never a folder.
    virtual Result replaceFile(const QString &from, const QString &to) = 0;

    // Creates or truncates the file and writes the bytes.
    virtual Result writeFile(const QString &path, const QByteArray &bytes) = 0;
    // Reads at most maxBytes; truncated tells whether the file holds more.
    virtual Result readFile(const QString &path, qint64 maxBytes, QByteArray &bytes,
                            bool &truncated) const = 0;
};

} // namespace varnotel
