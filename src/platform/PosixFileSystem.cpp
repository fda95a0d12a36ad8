#include "platform/PosixFileSystem.h"

#include "platform/FolderListing.h"
#include "platform/InotifyFolderWatch.h"
#include "platform/PosixStatus.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace varnotel {

using posix::idOf;
using posix::native;

namespace {

Result lastError() { return Result::failure(QString::fromLocal8Bit(std::strerror(errno))); }

// Closes a descriptor at scope end, so no early return leaks one.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The folder that holds the path's last component, reached one folder at a
// time from the top, and that component: a path longer than the kernel takes
// in one call still names a file (a tree may be deeper than any path).
int openParentByWalking(const QByteArray &path, QByteArray &last) {
    const qsizetype slash = path.lastIndexOf('/');
    last = path.mid(slash + 1);
    int folder = ::open(path.startsWith('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const QByteArray parent = slash <= 0 ? QByteArray() : path.left(slash);
    for (const QByteArray &step : parent.split('/')) {
        if (folder < 0 || step.isEmpty() || step == ".")
            continue;
        const int next = ::openat(folder, step.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = next;
    }
    if (last.isEmpty())
        last = ".";
    return folder;
}

int openAnyLength(const QByteArray &path, int flags) {
    const int fd = ::open(path.constData(), flags);
    if (fd >= 0 || errno != ENAMETOOLONG)
        return fd;
    QByteArray last;
    Fd parent(openParentByWalking(path, last));
    return parent.get() < 0 ? -1 : ::openat(parent.get(), last.constData(), flags);
}

bool statAnyLength(const QByteArray &path, struct stat &st, int flags) {
    if (::fstatat(AT_FDCWD, path.constData(), &st, flags) == 0)
        return true;
    if (errno != ENAMETOOLONG)
        return false;
    QByteArray last;
    Fd parent(openParentByWalking(path, last));
    return parent.get() >= 0 && ::fstatat(parent.get(), last.constData(), &st, flags) == 0;
}

bool statFollowing(const QString &path, struct stat &st) { return statAnyLength(native(path), st, 0); }

bool writeAll(int fd, const char *data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// A piece is big enough to copy at the disk's speed and small enough that
// progress is told several times a second even on a slow stick.
constexpr size_t kCopyPiece = 4 << 20;

// The errors with which a file system declines an in-kernel copy.
bool kernelCopyDeclined(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == EBADF;
}

// The next piece: copied in the kernel where the file systems allow it (no
// trip through this process, a shared extent where supported), read and
// written otherwise. Both move the descriptors' offsets, so either can follow
// the other. Returns the bytes copied, 0 at the end, -1 on an error.
ssize_t copyPiece(int in, int out, bool &inKernel, std::vector<char> &buffer) {
    if (inKernel) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kCopyPiece, 0);
        if (n > 0 || (n < 0 && !kernelCopyDeclined(errno)))
            return n;
        // 0 is the end, or a file the kernel does not copy (proc, sysfs): a read tells.
        inKernel = false;
    }
    buffer.resize(kCopyPiece);
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n > 0 && !writeAll(out, buffer.data(), n))
        return -1;
    return n;
}

Result copyContents(int in, int out, qint64 total, const CopyProgress &progress) {
    bool inKernel = true;
    std::vector<char> buffer;
    qint64 copied = 0;
    for (;;) {
        const ssize_t n = copyPiece(in, out, inKernel, buffer);
        if (n == 0)
            return Result::success();
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError();
        copied += n;
        if (progress && !progress(copied, total))
            return Result::failure(QStringLiteral("cancelled"));
    }
}

// Opens a file for reading only when it is a regular file, and never waits:
// a FIFO or a device found at the name (put there, or swapped in between the
// test and the open) would block the window until someone else opens it.
// On failure the result is -1 and why says what went wrong; st receives the
// file's status.
int openRegularFile(const QByteArray &path, struct stat &st, Result &why) {
    const Result notRegular = Result::failure(QStringLiteral("not a regular file"));
    if (!statAnyLength(path, st, 0)) {
        why = lastError();
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        why = notRegular;
        return -1;
    }
    Fd fd(openAnyLength(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        why = lastError();
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        why = notRegular;
        return -1;
    }
    // Reading a regular file never waits; the flag goes for the plain reads that follow.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd.release();
}

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

FolderRead PosixFileSystem::readFolder(const QString &path, const EntryStatus &before, FileNames files,
                                       Subfolders subfolders) const {
    FolderRead read;
    Fd fd(openAnyLength(native(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        read.denied = errno == EACCES || errno == EPERM;
        read.status = status(path);
        return read;
    }
    struct stat st {};
    const bool knownBefore = before.kind == EntryStatus::Kind::Folder;
    if (!knownBefore && ::fstat(fd.get(), &st) != 0)
        return read;
    read.status = knownBefore ? before : posix::statusOf(st);
    if (subfolders == Subfolders::InodesOnly && !entriesNameTrueInodes(fd.get(), read.status.id.device))
        subfolders = Subfolders::Stated;
    posix::Listing listing = posix::listFolder(fd.get(), files, subfolders, read.status.id.device);
    if (knownBefore && listing.selfInode != before.id.inode) {
        // Not the folder the caller saw: its own status, then its entries again.
        if (::fstat(fd.get(), &st) != 0 || ::lseek(fd.get(), 0, SEEK_SET) != 0)
            return read;
        read.status = posix::statusOf(st);
        listing = posix::listFolder(fd.get(), files, subfolders, read.status.id.device);
    }
    read.opened = listing.complete;
    read.denied = !listing.complete;
    read.entries = std::move(listing.entries);
    read.unlistedFiles = listing.unlistedFiles;
    read.idleLinks = std::move(listing.idleLinks);
    return read;
}

// File systems whose folder entries name the inode a folder's own status
// gives, asked once per device.
bool PosixFileSystem::entriesNameTrueInodes(int fd, quint64 device) const {
    const auto known = m_trueEntryInodes.find(device);
    if (known != m_trueEntryInodes.end())
        return known->second;
    struct statfs fs {};
    bool trueInodes = false;
    if (::fstatfs(fd, &fs) == 0) {
        switch (static_cast<unsigned long>(fs.f_type)) {
        case 0xEF53:     // ext2, ext3, ext4
        case 0x58465342: // xfs
        case 0x01021994: // tmpfs
        case 0x858458F6: // ramfs
        case 0xF2F52010: // f2fs
            trueInodes = true;
            break;
        default:
            break;
        }
    }
    m_trueEntryInodes.emplace(device, trueInodes);
    return trueInodes;
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
    Result result = copyContents(in.get(), out.get(), st.st_size, progress);
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
    if (!writeAll(fd.get(), bytes.constData(), bytes.size())) {
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
