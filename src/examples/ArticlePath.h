#pragma once

#include "platform/FileSystem.h"

#include <QString>

namespace varnotel {

// Whether a path names an entry of the library's own example tree: below the
// Example folder, and reached through no folder that is a link, whose files
// would lie elsewhere. The entry itself may be a link; it is never followed
// by a write or a delete.
bool liesInExampleTree(const FileSystem &fs, const QString &appDir, const QString &path);

// The last component of a path.
QString fileNameOf(const QString &path);

} // namespace varnotel
