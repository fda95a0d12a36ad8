#pragma once

#include "platform/FolderWatch.h"

#include <memory>
#include <unordered_map>

namespace varnotel {

// Linux's inotify, trusted only on file systems whose changes all pass through
// this machine's kernel; a changed mount table counts as lost track, since a
// folder mounted over another raises no news.
class InotifyFolderWatch final : public FolderWatch {
public:
    // Nothing when the system offers no inotify or no mount table to poll.
    static std::unique_ptr<FolderWatch> create();
    ~InotifyFolderWatch() override;
    InotifyFolderWatch(const InotifyFolderWatch &) = delete;
    InotifyFolderWatch &operator=(const InotifyFolderWatch &) = delete;

    std::optional<Watched> watch(FolderCursor &cursor) override;
    void unwatch(int handle) override;
    News takeNews() override;
    int newsDescriptor() const override { return m_inotify; }

private:
    InotifyFolderWatch(int inotifyFd, int mountTableFd) : m_inotify(inotifyFd), m_mountTable(mountTableFd) {}
    bool isLocal(const QByteArray &path, quint64 device);
    void readEvents(News &news);

    int m_inotify;
    int m_mountTable;
    bool m_limitReached = false;
    std::unordered_map<quint64, bool> m_localDevices;
};

} // namespace varnotel
