#pragma once

#include "platform/FileSystem.h"

namespace varnotel {

// Deletes one file the way the desktop does: into the trash where there is
// one for it, so a click on the wrong journal or article can be taken back;
// otherwise the file is removed. A link is discarded itself, never what it
// points to.
Result discardFile(FileSystem &fs, const QString &path);

} // namespace varnotel
