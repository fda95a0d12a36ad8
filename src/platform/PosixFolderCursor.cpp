#include "platform/PosixFolderCursor.h"

#include "platform/AnyLengthPaths.h"
#include "platform/FolderListing.h"
#include "platform/PosixStatus.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace varnotel::posix {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

void closeHeld(int &fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void takeListing(Listing &listing, FolderRead &read) {
    read.entries = std::move(listing.entries);
    read.unlistedFiles = listing.unlistedFiles;
    read.idleLinks = std::move(listing.idleLinks);
    read.scratchFiles = std::move(listing.scratchFiles);
    read.systemEntries = listing.systemEntries;
}

} // namespace

PosixFolderCursor::PosixFolderCursor(const QString &root, std::unordered_map<quint64, bool> &trueEntryInodes)
    : m_trueEntryInodes(trueEntryInodes) {
    m_levels.push_back(Level{root, -1, std::nullopt, false});
}

PosixFolderCursor::~PosixFolderCursor() {
    for (Level &level : m_levels)
        closeHeld(level.fd);
}

void PosixFolderCursor::enter(const QString &name) {
    m_levels.push_back(Level{name, -1, std::nullopt, false});
}

void PosixFolderCursor::leave() {
    if (depth() == 0)
        return;
    if (m_held == depth())
        backUp();
    m_levels.pop_back();
}

EntryStatus PosixFolderCursor::status() {
    struct stat st {};
    if (m_held == depth() || depth() == 0) {
        if (reach(depth()))
            return ::fstat(m_levels[m_held].fd, &st) == 0 ? statusOf(st) : EntryStatus{};
        return statAnyLength(native(m_levels.front().name), st, 0) ? statusOf(st) : EntryStatus{};
    }
    // Asked of the folder above, so that a folder never read is never opened.
    if (!reach(depth() - 1) ||
        ::fstatat(m_levels[m_held].fd, native(m_levels.back().name).constData(), &st, 0) != 0)
        return {};
    return statusOf(st);
}

EntryStatus PosixFolderCursor::status(const QString &name) {
    struct stat st {};
    if (!reach(depth()) || ::fstatat(m_levels[m_held].fd, native(name).constData(), &st, 0) != 0)
        return {};
    return statusOf(st);
}

FolderRead PosixFolderCursor::read(const EntryStatus &before, FileNames files, Subfolders subfolders) {
    FolderRead read;
    if (!reach(depth())) {
        read.denied = m_held == depth() - 1 && (m_failure == EACCES || m_failure == EPERM);
        read.status = status();
        return read;
    }
    const Level &held = m_levels[m_held];
    const bool knownBefore = before.kind == EntryStatus::Kind::Folder;
    struct stat st {};
    if (!knownBefore && ::fstat(held.fd, &st) != 0)
        return read;
    read.status = knownBefore ? before : statusOf(st);
    if (subfolders == Subfolders::InodesOnly && !entriesNameTrueInodes(held.fd, read.status.id.device))
        subfolders = Subfolders::Stated;
    if (::lseek(held.fd, 0, SEEK_SET) != 0)
        return read;
    Listing listing = listFolder(held.fd, files, subfolders, read.status.id.device);
    if (knownBefore && listing.selfInode != before.id.inode) {
        // Not the folder the caller saw: its own status, then its entries again.
        if (::fstat(held.fd, &st) != 0 || ::lseek(held.fd, 0, SEEK_SET) != 0)
            return read;
        read.status = statusOf(st);
        listing = listFolder(held.fd, files, subfolders, read.status.id.device);
    }
    read.opened = listing.complete;
    read.denied = !listing.complete;
    takeListing(listing, read);
    return read;
}

FolderRead PosixFolderCursor::readNamed(const QStringList &names, Subfolders subfolders) {
    FolderRead read;
    struct stat st {};
    if (!reach(depth()) || ::fstat(m_levels[m_held].fd, &st) != 0)
        return read;
    const int fd = m_levels[m_held].fd;
    read.status = statusOf(st);
    if (subfolders == Subfolders::InodesOnly && !entriesNameTrueInodes(fd, read.status.id.device))
        subfolders = Subfolders::Stated;
    Listing listing = listNames(fd, names, subfolders, read.status.id.device);
    read.opened = true;
    takeListing(listing, read);
    return read;
}

QString PosixFolderCursor::here() {
    if (!reach(depth()))
        return {};
    return QStringLiteral("/proc/self/fd/%1").arg(m_levels[size_t(m_held)].fd);
}

// Opens the levels down to this one, from the deepest open. False, and the
// cursor holds the deepest it could open, when one cannot be opened.
bool PosixFolderCursor::reach(qsizetype level) {
    if (m_held < 0 && !openTop())
        return false;
    while (m_held < level) {
        if (!openBelow())
            return false;
    }
    return true;
}

bool PosixFolderCursor::openTop() {
    Level &top = m_levels.front();
    top.fd = openAnyLength(native(top.name), kFolderFlags);
    if (top.fd < 0) {
        m_failure = errno;
        return false;
    }
    m_held = 0;
    return true;
}

bool PosixFolderCursor::openBelow() {
    Level &above = m_levels[size_t(m_held)];
    Level &next = m_levels[size_t(m_held + 1)];
    // Without following a link first: the cursor must know when it enters one.
    const QByteArray name = native(next.name);
    next.fd = ::openat(above.fd, name.constData(), kFolderFlags | O_NOFOLLOW);
    next.throughLink = next.fd < 0 && (errno == ELOOP || errno == ENOTDIR);
    if (next.throughLink)
        next.fd = ::openat(above.fd, name.constData(), kFolderFlags);
    if (next.fd < 0) {
        m_failure = errno;
        return false;
    }
    next.id.reset();
    // The folder two above is reached again through "..", which must lead
    // back to that very folder; it stays open when it is the top, or when the
    // folder above was entered through a link.
    if (m_held >= 2 && !above.throughLink) {
        Level &twoAbove = m_levels[size_t(m_held - 1)];
        struct stat st {};
        if (!twoAbove.id && ::fstat(twoAbove.fd, &st) == 0)
            twoAbove.id = idOf(st);
        closeHeld(twoAbove.fd);
    }
    ++m_held;
    return true;
}

// From the folder held to the one above it.
void PosixFolderCursor::backUp() {
    Level &held = m_levels[size_t(m_held)];
    Level &above = m_levels[size_t(m_held - 1)];
    if (above.fd < 0) {
        above.fd = ::openat(held.fd, "..", kFolderFlags);
        struct stat st {};
        if (above.fd >= 0 && (::fstat(above.fd, &st) != 0 || idOf(st) != above.id))
            closeHeld(above.fd); // moved meanwhile: ".." is another folder now
    }
    closeHeld(held.fd);
    --m_held;
    if (above.fd >= 0)
        return;
    // Moved meanwhile: down again by names from the top, which stays open,
    // when the folder is next asked.
    for (size_t level = 1; level < m_levels.size(); ++level)
        closeHeld(m_levels[level].fd);
    m_held = 0;
}

// File systems whose folder entries name the inode a folder's own status
// gives, asked once per device.
bool PosixFolderCursor::entriesNameTrueInodes(int fd, quint64 device) {
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

} // namespace varnotel::posix
