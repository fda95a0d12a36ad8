#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <QtGlobal>

namespace varnotel::posix {

// Writes all of it, through interrupted and partial writes.
bool writeAll(int fd, const char *data, qint64 size);

// Copies what is left of `in` to `out` piece by piece, telling progress after
// each piece (of total bytes); fails "cancelled" when progress says stop.
Result copyContents(int in, int out, qint64 total, const CopyProgress &progress);

} // namespace varnotel::posix
