#pragma once

#include "editing/EditOutcome.h"
#include "platform/FileSystem.h"

namespace varnotel {

// Why the selected entry cannot be renamed; nothing when it can. Without a selection, or on the blank entry,
// the old example folder would be Example itself.
std::optional<Failure> renameSourceProblem(bool selected, const QString &oldName);

// Gives the journal's four record files and its example folder the new name
// (a journal without an example folder gets an empty one), or changes nothing
// at all: every target is checked to be free first, renames never replace,
// and when one fails midway those already made are undone. Missing old record
// files are passed over. The empty new name (a cancelled prompt) does nothing;
// the unchanged name renames nothing. A change of letter case is a rename.
EditOutcome renameJournal(FileSystem &fs, const QString &appDir, const QString &oldName,
                          const QString &newName);

// Completes a rename that a crash cut short, from the note it left; at start.
void finishUnfinishedRename(FileSystem &fs, const QString &appDir);

} // namespace varnotel
