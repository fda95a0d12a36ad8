#pragma once

#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QStringList>

#include <optional>

namespace varnotel {

// What became of a deleted file.
struct Discarded {
    Result result;
    bool forGood = false; // no trash could take it, so it was removed
    explicit operator bool() const { return result.ok; }
};

// Deletes one file the way the desktop does: into the trash of its disk, so a
// click on the wrong journal or article can be taken back; only where no
// trash can take it is the file removed for good. A link is discarded
// itself, never what it points to.
Discarded discardFile(FileSystem &fs, const QString &path);

// The failure that names the files removed for good; none when none was.
std::optional<Failure> deletedForGood(const QStringList &paths);

} // namespace varnotel
