#pragma once

#include "platform/FileSystem.h"

#include <QString>

namespace varnotel {

struct PurgeOutcome {
    QString path;  // the blank-name file found, empty when there was none
    Result result; // whether deleting it worked
};

// The blank-name journal is purged one file per run: the first blank-name
// record path that holds a file is deleted, the others wait for later runs.
PurgeOutcome purgeBlankJournal(FileSystem &fs, const QString &appDir);

} // namespace varnotel
