#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace varnotel {

// Identity of an entry on disk: a scan that follows links visits each folder
// once, so a link loop cannot make it run forever; the trash compares devices.
struct EntryId {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const EntryId &, const EntryId &) = default;
};

// When a folder itself or its list of entries last changed (its modification
// and change times), in nanoseconds since the epoch.
struct FolderTimes {
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    friend bool operator==(const FolderTimes &, const FolderTimes &) = default;
};

// What a path leads to, links followed. Missing covers dangling links; Other is
// a system entry (socket, FIFO, device).
struct EntryStatus {
    enum class Kind { Missing, File, Folder, Other };
    Kind kind = Kind::Missing;
    EntryId id;
    FolderTimes times;
    friend bool operator==(const EntryStatus &, const EntryStatus &) = default;
};

struct DirEntry {
    enum class Kind { File, Folder };
    QString name;
    Kind kind = Kind::File;
    EntryId folderId;        // set for folders only
    FolderTimes folderTimes; // set for stated folders only
    bool link = false;       // reached through a symbolic link
    bool stated = true;      // false: a subfolder known by its inode alone (Subfolders::InodesOnly)
};

// Told after each piece of a copy: the bytes copied so far and the size of the
// whole file. Returning false cancels the copy.
using CopyProgress = std::function<bool(qint64 copied, qint64 total)>;
} // namespace varnotel

// Moved as plain bytes when a listing grows or is sorted.
Q_DECLARE_TYPEINFO(varnotel::DirEntry, Q_RELOCATABLE_TYPE);

namespace varnotel {

// Whether a folder reading names its plain files or only counts them; links
// and folders are always named.
enum class FileNames { Listed, Counted };

// Whether a reading asks each subfolder for its status, or gives plain
// subfolders (links are always followed) only the folder's device and the
// inode its entry names, which is the subfolder's own unless something is
// mounted on it. A file system whose entries do not name the true inode (FAT
// makes them up, btrfs subvolumes share them) has its subfolders asked anyway.
enum class Subfolders { Stated, InodesOnly };

// One reading of a folder: its entries, and its status as it was before they
// were read, so that a later change always shows in a later status.
struct FolderRead {
    bool opened = false; // false when the folder could not be read (gone, not a folder, no permission)
    bool denied = false; // it is there, but could not be read (no permission, a failing disk)
    EntryStatus status;
    QList<DirEntry> entries;  // sorted as entries() sorts them
    qint64 unlistedFiles = 0; // plain files only counted (FileNames::Counted)
    QStringList idleLinks;    // links that lead to nothing listed now, but may later
    QStringList scratchFiles; // scratch files found there, passed over (ScratchNames)
    qint64 systemEntries = 0; // FIFOs, sockets, devices: never listed
};

class FolderCursor;
class FolderWatch;

// What the trash asks of a folder before it trusts it with a user's files.
struct FolderTrust {
    bool folder = false; // a folder, not a link to one
    bool sticky = false; // shared, yet only owners may remove what is theirs
    bool mine = false;   // owned by the user the program runs as
};

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
    // The folder itself, a link not followed.
    virtual FolderTrust folderTrust(const QString &path) const = 0;
    virtual EntryStatus status(const QString &path) const = 0;

    // Walks the tree below root by names, reading and asking its folders
    // wherever they stand (FolderCursor).
    virtual std::unique_ptr<FolderCursor> cursor(const QString &root) const = 0;
    // How long after a change a second change may still leave a folder's times
    // as they were: the timestamps' granularity plus the tick of the clock that
    // stamps them. Within it, equal times prove nothing.
    virtual qint64 timestampSlackNs() const = 0;
    // Tells which folders changed, so that they need not all be asked; none
    // when this system cannot tell.
    virtual std::unique_ptr<FolderWatch> createFolderWatch() const = 0;

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
    // The scratch files a folder holds, which its listing passes over.
    virtual QStringList scratchFiles(const QString &folder) const = 0;
    // Removes a scratch file left behind: a plain file with a scratch name
    // that no program is writing now (a writer holds its scratch file locked
    // until it is complete; a crashed one holds nothing).
    virtual Result removeScratchFile(const QString &path) = 0;

    // Reads at most maxBytes; truncated tells whether the file holds more.
    virtual Result readFile(const QString &path, qint64 maxBytes, QByteArray &bytes,
                            bool &truncated) const = 0;
};

} // namespace varnotel
