#pragma once

#include "platform/FileSystem.h"

#include <QFile>

#include <sys/stat.h>

namespace varnotel::posix {

// The one place where paths become bytes and names on disk become text.
inline QByteArray native(const QString &path) { return QFile::encodeName(path); }
inline QString nameOf(const char *bytes) { return QFile::decodeName(bytes); }

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
