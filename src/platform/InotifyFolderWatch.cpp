#include "platform/InotifyFolderWatch.h"

#include "platform/PosixStatus.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace varnotel {

namespace {

// Entries coming and going, and the folder's own permissions: whatever changes
// what a reading of the folder would list. The folder moved away counts too:
// for a tree's root, no watched parent would tell.
constexpr uint32_t kWatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                    IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t kEntryCameOrWent = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

// File systems on which every change passes through this kernel. Network and
// FUSE file systems can change on another machine or in another process
// without a word to inotify, so their folders are asked instead.
bool isLocalFileSystemType(long type) {
    switch (static_cast<unsigned long>(type)) {
    case 0xEF53:     // ext2, ext3, ext4
    case 0x58465342: // xfs
    case 0x9123683E: // btrfs
    case 0x01021994: // tmpfs
    case 0x858458F6: // ramfs
    case 0xF2F52010: // f2fs
    case 0x4D44:     // vfat, msdos
    case 0x2011BAB0: // exfat
    case 0x7366746E: // ntfs3
    case 0x2FC12FC1: // zfs
    case 0xCA451A4E: // bcachefs
    case 0x52654973: // reiserfs
    case 0x3153464A: // jfs
    case 0x482B:     // hfsplus
    case 0x794C7630: // overlay
        return true;
    default:
        return false;
    }
}

} // namespace

std::unique_ptr<FolderWatch> InotifyFolderWatch::create() {
    const int inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotifyFd < 0)
        return nullptr;
    const int mountTableFd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (mountTableFd < 0) {
        ::close(inotifyFd);
        return nullptr;
    }
    return std::unique_ptr<FolderWatch>(new InotifyFolderWatch(inotifyFd, mountTableFd));
}

InotifyFolderWatch::~InotifyFolderWatch() {
    ::close(m_inotify);
    ::close(m_mountTable);
}

// The watch is put on the very folder the cursor holds open, never on
// whatever a path names a moment later, and its status is read from it too.
std::optional<FolderWatch::Watched> InotifyFolderWatch::watch(FolderCursor &cursor) {
    if (m_limitReached)
        return std::nullopt;
    const QByteArray held = posix::native(cursor.here());
    if (held.isEmpty())
        return std::nullopt;
    const int handle = ::inotify_add_watch(m_inotify, held.constData(), kWatchedEvents);
    if (handle < 0) {
        m_limitReached = errno == ENOSPC;
        return std::nullopt;
    }
    const EntryStatus status = cursor.status();
    if (status.kind == EntryStatus::Kind::Folder && isLocal(held, status.id.device))
        return Watched{handle, status};
    ::inotify_rm_watch(m_inotify, handle);
    return std::nullopt;
}

bool InotifyFolderWatch::isLocal(const QByteArray &path, quint64 device) {
    const auto known = m_localDevices.find(device);
    if (known != m_localDevices.end())
        return known->second;
    struct statfs fs {};
    const bool local = ::statfs(path.constData(), &fs) == 0 && isLocalFileSystemType(fs.f_type);
    m_localDevices.emplace(device, local);
    return local;
}

void InotifyFolderWatch::unwatch(int handle) { ::inotify_rm_watch(m_inotify, handle); }

FolderWatch::News InotifyFolderWatch::takeNews() {
    News news;
    readEvents(news);
    // The mount table reports a change once to every reader that polls it.
    pollfd mounts{m_mountTable, POLLPRI, 0};
    if (::poll(&mounts, 1, 0) > 0 && (mounts.revents & (POLLERR | POLLPRI)))
        news.lostTrack = true;
    return news;
}

void InotifyFolderWatch::readEvents(News &news) {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t size = ::read(m_inotify, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0) {
            if (size < 0 && errno != EAGAIN)
                news.lostTrack = true;
            return;
        }
        for (ssize_t offset = 0; offset < size;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                news.lostTrack = true;
            } else if (event->mask & IN_IGNORED) {
                news.ended << event->wd;
                news.changed << event->wd;
            } else if (event->len > 0 && (event->mask & kEntryCameOrWent)) {
                news.named.append({event->wd, posix::nameOf(event->name),
                                   (event->mask & (IN_CREATE | IN_MOVED_TO)) != 0,
                                   (event->mask & IN_ISDIR) != 0});
            } else if (event->len == 0) {
                // The folder's own attributes, or the folder deleted or moved;
                // an entry's own attributes change nothing in its folder's listing.
                news.changed << event->wd;
            }
        }
    }
}

} // namespace varnotel
