#pragma once

#include "platform/FileNames.h"
#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace varnotel::posix {

// The one place where paths become bytes and names on disk become text; a
// name keeps its exact bytes, also when they are not UTF-8.
inline QByteArray native(const QString &path) { return bytesFromName(path); }
inline QString nameOf(const char *bytes) { return nameFromBytes(QByteArrayView(bytes)); }

inline EntryId idOf(const struct stat &st) {
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

inline qint64 nanoseconds(const struct timespec &t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

inline FolderTimes timesOf(const struct stat &st) {
    return {nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

inline EntryStatus statusOf(const struct stat &st) {
    const EntryStatus::Kind kind = S_ISDIR(st.st_mode)   ? EntryStatus::Kind::Folder
                                   : S_ISREG(st.st_mode) ? EntryStatus::Kind::File
                                                         : EntryStatus::Kind::Other;
    return {kind, idOf(st), timesOf(st)};
}

} // namespace varnotel::posix
