#pragma once

#include "platform/FileSystem.h"

namespace varnotel {

// The user's trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
QString homeTrashFolder();

// Moves a file (or a link itself, never its target) into the freedesktop
// trash of the disk it lies on, with the .trashinfo that lets the desktop
// restore it: the home trash when that is on the file's own device; else the
// disk's own trash at its top, .Trash/<uid> when .Trash is a shared folder
// (sticky, not a link), else .Trash-<uid>. The move is always a plain rename
// on one disk. Fails when no trash can take the file; the caller decides what
// to do instead.
Result moveToTrash(FileSystem &fs, const QString &path);

} // namespace varnotel
