#pragma once

#include "platform/FileSystem.h"

namespace varnotel::posix {

// The entries of a folder read from an open descriptor, as every listing of
// the file system gives them: sorted by name case-insensitively, ties by exact
// name; folders and files only, links followed; "." and ".." left out. The
// program's own scratch files are passed over (and named apart), and so is a
// disk's freedesktop trash (.Trash, .Trash-<uid>) at the top of a disk
// mounted inside the library: what was deleted there is no article.
struct Listing {
    QList<DirEntry> entries;
    QStringList scratchFiles; // plain files with a scratch name
    qint64 unlistedFiles = 0;
    QStringList idleLinks;    // dangling, or leading to a system entry
    qint64 systemEntries = 0; // FIFOs, sockets, devices
    quint64 selfInode = 0;    // the inode the folder's own "." entry names; 0 when it has none
    bool complete = true;     // false when reading failed part way
};

// `device` is the folder's own, given to subfolders known by their inode alone.
Listing listFolder(int fd, FileNames files, Subfolders subfolders = Subfolders::Stated, quint64 device = 0);

// Only the entries of these names, as listFolder would list them, files named.
Listing listNames(int fd, const QStringList &names, Subfolders subfolders, quint64 device);

void sortByName(QList<DirEntry> &entries);

} // namespace varnotel::posix
