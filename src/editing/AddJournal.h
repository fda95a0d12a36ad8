#pragma once

#include "editing/EditOutcome.h"
#include "platform/FileSystem.h"

namespace varnotel {

// Creates whichever of the journal's four record files is missing, each with
// its default line; files already there are left as they are, so adding an
// existing journal restores its missing files. The empty name (a cancelled
// prompt) does nothing. A name that cannot be a journal is refused. When a file
// cannot be created, the files this call created are removed again.
EditOutcome addJournal(FileSystem &fs, const QString &appDir, const QString &name);

} // namespace varnotel
