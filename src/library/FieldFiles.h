#pragma once

#include "library/LibraryPaths.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QString>

namespace varnotel {

struct FieldFileOutcome {
    QString path;
    bool created = false; // the default was written just now
    Result result;        // a failure means the file is not there to be read or opened
};

// Makes sure the IF, homepage or notes file of a journal exists: a missing one
// is created with its default line, an existing one is never rewritten. Only a
// free name is written to, so a folder or a link that happens to carry the
// file's name is left alone and reported.
FieldFileOutcome ensureFieldFile(FileSystem &fs, const QString &appDir, Record field, const QString &name);

// The failure of a field file that could not be created.
Failure fieldCreationFailure(const FieldFileOutcome &outcome);

} // namespace varnotel
