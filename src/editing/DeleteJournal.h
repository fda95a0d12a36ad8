#pragma once

#include "editing/EditOutcome.h"
#include "platform/FileSystem.h"

namespace varnotel {

// The delete button: the files lying directly in the example folder, then the
// folder once nothing is left in it, then the four record files. Missing
// files are passed over; a file that cannot be deleted is reported and the
// rest goes on. The blank entry's record files are deleted, but files lying
// directly in Example belong to no journal and are left alone. An example
// folder that is a link is not emptied through the link.
EditOutcome deleteJournal(FileSystem &fs, const QString &appDir, const QString &name);

// The journal list's D key: the four record files first, then the files lying
// directly in the example folder; the folder itself stays.
EditOutcome deleteJournalByKey(FileSystem &fs, const QString &appDir, const QString &name);

} // namespace varnotel
