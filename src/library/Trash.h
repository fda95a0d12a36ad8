#pragma once

#include "platform/FileSystem.h"

namespace varnotel {

// The user's trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
QString homeTrashFolder();

// Moves a file (or a link itself, never its target) into the user's trash,
// with the .trashinfo that lets the desktop restore it. Only when that trash
// is on the file's own device, so the move is a plain rename and nothing is
// ever written at the top of another mount; otherwise it fails and the caller
// decides what to do instead.
Result moveToHomeTrash(FileSystem &fs, const QString &path);

} // namespace varnotel
