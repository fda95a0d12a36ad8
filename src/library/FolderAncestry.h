#pragma once

#include "platform/FileSystem.h"

#include <QList>
#include <QString>

namespace varnotel {

// The identities of a folder and of every folder above it, up to the top of
// the file system. A folder link inside the folder that leads to one of them
// leads to a folder that holds the whole tree (such as / or the home folder):
// following it would walk the whole machine, so the scans pass it by.
QList<EntryId> folderAndItsAncestors(const FileSystem &fs, const QString &folder);

} // namespace varnotel
