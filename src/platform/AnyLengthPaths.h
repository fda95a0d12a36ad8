#pragma once

#include "platform/Result.h"

#include <QByteArray>

#include <sys/stat.h>

namespace varnotel::posix {

// open(2) and fstatat(2) for a path of any length: a path longer than the
// kernel takes in one call is reached one folder at a time from the top, so
// it still names a file (a tree may be deeper than any path).
int openAnyLength(const QByteArray &path, int flags);
bool statAnyLength(const QByteArray &path, struct stat &st, int flags);

// Opens a file for reading only when it is a regular file, and never waits:
// a FIFO or a device found at the name (put there, or swapped in between the
// test and the open) would block the window until someone else opens it.
// On failure the result is -1 and why says what went wrong; st receives the
// file's status.
int openRegularFile(const QByteArray &path, struct stat &st, Result &why);

} // namespace varnotel::posix
