#include "platform/PosixFileSystem.h"

#include "platform/AnyLengthPaths.h"
#include "platform/FileCopy.h"
#include "platform/FolderListing.h"
#include "platform/InotifyFolderWatch.h"
#include "platform/PosixDescriptor.h"
#include "platform/PosixFolderCursor.h"
#include "platform/PosixStatus.h"
#include "platform/ScratchNames.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnotel {

using posix::Fd;
using posix::idOf;
using posix::lastError;
using posix::native;
using posix::openAnyLength;
using posix::openRegularFile;
using posix::statAnyLength;

namespace {

bool statFollowing(const QString &path, struct stat &st) { return statAnyLength(native(path), st, 0); }

bool sameEntry(const QString &a, const QString &b) {
    struct stat sa {};
    struct stat sb {};
    return ::lstat(native(a).constData(), &sa) == 0 && ::lstat(native(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// For file systems without RENAME_NOREPLACE: a file is linked to its new name
// (link never replaces) and then unlinked; a folder cannot be linked, so it is
// checked and renamed, which leaves only a tiny window for a race.
Result renameWithoutNoReplaceFlag(const QByteArray &from, const QByteArray &to) {
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0)
        return lastError();
    if (!S_ISDIR(st.st_mode)) {
        if (::link(from.constData(), to.constData()) != 0)
            return lastError();
        if (::unlink(from.constData()) != 0) {
            const Result failed = lastError();
            ::unlink(to.constData());
            return failed;
        }
        return Result::success();
    }
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return lastError();
    }
    return ::rename(from.constData(), to.constData()) == 0 ? Result::success() : lastError();
}

} // namespace

bool PosixFileSystem::fileExists(const QString &path) const {
    struct stat st {};
    return statFollowing(path, st) && S_ISREG(st.st_mode);
}

bool PosixFileSystem::folderExists(const QString &path) const {
    struct stat st {};
    return statFollowing(path, st) && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::entryExists(const QString &path) const {
    struct stat st {};
    return statFollowing(path, st) && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
}

bool PosixFileSystem::isSymLink(const QString &path) const {
    struct stat st {};
    return statAnyLength(native(path), st, AT_SYMLINK_NOFOLLOW) && S_ISLNK(st.st_mode);
}

std::optional<EntryId> PosixFileSystem::folderId(const QString &path) const {
    struct stat st {};
    if (!statFollowing(path, st) || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return idOf(st);
}

std::optional<EntryId> PosixFileSystem::entryId(const QString &path) const {
    struct stat st {};
    if (!statAnyLength(native(path), st, AT_SYMLINK_NOFOLLOW))
        return std::nullopt;
    return idOf(st);
}

FolderTrust PosixFileSystem::folderTrust(const QString &path) const {
    struct stat st {};
    if (!statAnyLength(native(path), st, AT_SYMLINK_NOFOLLOW) || !S_ISDIR(st.st_mode))
        return {};
    return {true, (st.st_mode & S_ISVTX) != 0, st.st_uid == ::geteuid()};
}

EntryStatus PosixFileSystem::status(const QString &path) const {
    struct stat st {};
    if (!statFollowing(path, st))
        return {};
    return posix::statusOf(st);
}

QList<DirEntry> PosixFileSystem::entries(const QString &folder) const {
    Fd fd(openAnyLength(native(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return {};
    return posix::listFolder(fd.get(), FileNames::Listed).entries;
}

QStringList PosixFileSystem::scratchFiles(const QString &folder) const {
    Fd fd(openAnyLength(native(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return {};
    return posix::listFolder(fd.get(), FileNames::Counted).scratchFiles;
}

Result PosixFileSystem::removeScratchFile(const QString &path) {
    if (!isScratchName(QStringView(path).sliced(path.lastIndexOf(QLatin1Char('/')) + 1)))
        return Result::failure(QStringLiteral("not a scratch file"));
    const QByteArray bytes = native(path);
    Fd fd(::open(bytes.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
        return lastError();
    if (!S_ISREG(st.st_mode))
        return Result::failure(QStringLiteral("not a plain file"));
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return lastError(); // still being written
    return ::unlink(bytes.constData()) == 0 ? Result::success() : lastError();
}

std::unique_ptr<FolderCursor> PosixFileSystem::cursor(const QString &root) const {
    return std::make_unique<posix::PosixFolderCursor>(root, m_trueEntryInodes);
}

// FAT keeps modification times to two seconds; other file systems to the
// nanosecond, but the kernel stamps them from a clock that ticks every few
// milliseconds.
qint64 PosixFileSystem::timestampSlackNs() const { return 2'050'000'000; }

std::unique_ptr<FolderWatch> PosixFileSystem::createFolderWatch() const {
    return InotifyFolderWatch::create();
}

Result PosixFileSystem::createFolder(const QString &path) {
    return ::mkdir(native(path).constData(), 0777) == 0 ? Result::success() : lastError();
}

Result PosixFileSystem::createPrivateFolder(const QString &path) {
    return ::mkdir(native(path).constData(), 0700) == 0 ? Result::success() : lastError();
}

Result PosixFileSystem::removeFolder(const QString &path) {
    return ::rmdir(native(path).constData()) == 0 ? Result::success() : lastError();
}

Result PosixFileSystem::removeFile(const QString &path) {
    return ::unlink(native(path).constData()) == 0 ? Result::success() : lastError();
}

Result PosixFileSystem::renameNoReplace(const QString &from, const QString &to) {
    const QByteArray src = native(from);
    const QByteArray dst = native(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return Result::success();
    if (errno == EEXIST && from != to && sameEntry(from, to)) {
        // A change of letter case on a file system that ignores case: the
        // "target" is the entry itself, so nothing can be replaced.
        return ::rename(src.constData(), dst.constData()) == 0 ? Result::success() : lastError();
    }
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)
        return renameWithoutNoReplaceFlag(src, dst);
    return lastError();
}

Result PosixFileSystem::copyFile(const QString &from, const QString &to, const CopyProgress &progress) {
    struct stat st {};
    Result opened;
    Fd in(openRegularFile(native(from), st, opened));
    if (in.get() < 0)
        return opened;
    // O_EXCL: a file, folder or link found at the target is never written to.
    const QByteArray target = native(to);
    Fd out(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777));
    if (out.get() < 0)
        return lastError();
    ::flock(out.get(), LOCK_EX); // a clean-up leaves a file being written alone
    Result result = posix::copyContents(in.get(), out.get(), st.st_size, progress);
    if (result && ::close(out.release()) != 0)
        result = lastError();
    if (!result)
        ::unlink(target.constData());
    return result;
}

Result PosixFileSystem::replaceFile(const QString &from, const QString &to) {
    struct stat st {};
    if (::lstat(native(from).constData(), &st) != 0)
        return lastError();
    if (S_ISDIR(st.st_mode))
        return Result::failure(QStringLiteral("a folder is not a file"));
    // rename(2) never puts a file in a folder's place (EISDIR).
    return ::rename(native(from).constData(), native(to).constData()) == 0 ? Result::success() : lastError();
}

Result PosixFileSystem::writeFile(const QString &path, const QByteArray &bytes) {
    const QByteArray target = native(path);
    Fd fd(::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return lastError();
    ::flock(fd.get(), LOCK_EX); // a clean-up leaves a file being written alone
    if (!posix::writeAll(fd.get(), bytes.constData(), bytes.size())) {
        const Result failed = lastError();
        return failed;
    }
    return ::close(fd.release()) == 0 ? Result::success() : lastError();
}

Result PosixFileSystem::readFile(const QString &path, qint64 maxBytes, QByteArray &bytes,
                                 bool &truncated) const {
    bytes.clear();
    truncated = false;
    struct stat st {};
    Result opened;
    Fd fd(openRegularFile(native(path), st, opened));
    if (fd.get() < 0)
        return opened;
    // One byte more than allowed tells whether the file goes on.
    bytes.resize(static_cast<qsizetype>(std::min<qint64>(maxBytes + 1, std::max<qint64>(st.st_size, 0) + 1)));
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (n == 0)
            break;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError();
        filled += n;
        if (filled == bytes.size() && filled <= maxBytes)
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, maxBytes + 1)); // the file grew
    }
    bytes.resize(filled);
    if (bytes.size() > maxBytes) {
        bytes.truncate(static_cast<qsizetype>(maxBytes));
        truncated = true;
    }
    return Result::success();
}

} // namespace varnotel
