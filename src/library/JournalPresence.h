#pragma once

#include "platform/FileSystem.h"

#include <QString>

namespace varnotel {

// Whether the journal is still in the library: its journal file is there, or
// a journal of that name is still listed from a subfolder of Journal. Another
// instance or the file manager may have renamed or deleted it since the list
// was built, and nothing may then be made for it.
bool journalStillListed(const FileSystem &fs, const QString &appDir, const QString &name);

} // namespace varnotel
