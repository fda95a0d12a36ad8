#pragma once

#include "platform/FileSystem.h"

#include <QString>

namespace varnotel {

// Moves through a folder tree by names, one folder at a time, as a person
// walks it in a file manager: what it asks of a folder it asks relative to the
// folder above it, so no path of the whole depth is ever built or resolved,
// and a tree deeper than any path is walked like any other.
//
// It stands at a folder named by the root and the names entered since. A move
// only notes the name; folders are opened when something is asked of one, so
// a walk that asks few folders costs few calls, and a walk in depth-first
// order opens each folder at most once. It holds a handful of folders open
// however deep it stands (one more for each link it passed through), and
// closes them when it ends. Links are followed.
class FolderCursor {
public:
    virtual ~FolderCursor() = default;

    // Into the subfolder of that name, or back to the folder it came from.
    virtual void enter(const QString &name) = 0;
    virtual void leave() = 0;

    // The folder it stands at; Missing when its names lead nowhere now.
    virtual EntryStatus status() = 0;
    // An entry of that folder.
    virtual EntryStatus status(const QString &name) = 0;
    // Reads that folder. `before` is its status as the caller last saw it:
    // when the folder read is still that very folder, `before` is the status
    // returned; otherwise a fresh one, taken before the entries are read.
    virtual FolderRead read(const EntryStatus &before, FileNames files, Subfolders subfolders) = 0;
    // Reads only the entries of that folder with these names, as read() would
    // list them with files named; a name no longer there is left out. The
    // status is the folder's own now.
    virtual FolderRead readNamed(const QStringList &names, Subfolders subfolders) = 0;
    // A short path that names that very folder, which the cursor holds open
    // while it stands there: the folder watch is put on it through this.
    // Empty when it cannot be opened.
    virtual QString here() = 0;
};

} // namespace varnotel
