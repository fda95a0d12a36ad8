#include "library/WatchSchedule.h"

#include "library/ListingCheck.h"
#include "platform/FolderWatch.h"

namespace varnotel {

WatchSchedule::WatchSchedule(const FileSystem &fs) : m_fs(fs), m_watch(fs.createFolderWatch()) {}

int WatchSchedule::newsDescriptor() const { return m_watch ? m_watch->newsDescriptor() : -1; }

WatchSchedule::~WatchSchedule() = default;

bool WatchSchedule::beginRecount(RememberedFolder *top) {
    ++m_recounts;
    m_cursor.reset(); // the folder it stands at may be renamed or forgotten
    if (!m_watch)
        return false;
    bool mayHaveChanged = false;
    const FolderWatch::News news = m_watch->takeNews();
    for (const int handle : news.changed) {
        if (const auto it = m_byWatch.find(handle); it != m_byWatch.end()) {
            it->second->dirty = true;
            mayHaveChanged = true;
        }
    }
    for (const FolderWatch::NamedChange &change : news.named) {
        if (const auto it = m_byWatch.find(change.handle); it != m_byWatch.end()) {
            noteNamedChange(*it->second, change);
            mayHaveChanged = true;
        }
    }
    for (const int handle : news.ended) {
        if (const auto it = m_byWatch.find(handle); it != m_byWatch.end()) {
            it->second->watch = -1;
            m_byWatch.erase(it);
        }
    }
    if (news.lostTrack) {
        if (top)
            forEachFolder(*top, [](RememberedFolder &folder) { folder.verify = true; });
        mayHaveChanged = true;
    }
    return mayHaveChanged;
}

// A folder read whole anyway needs no names; for the others the first change
// of each name is kept, which tells what it was before.
void WatchSchedule::noteNamedChange(RememberedFolder &folder, const FolderWatch::NamedChange &change) {
    if (folder.dirty)
        return;
    if (!folder.named)
        folder.named = std::make_unique<NamedNews>();
    if (!folder.named->pending.contains(change.name))
        folder.named->pending.insert(change.name, {change.came, change.folder});
}

// After lost news a watch may have ended unreported: it is put on again.
std::optional<EntryStatus> WatchSchedule::watchBeforeReading(RememberedFolder &folder, FolderCursor &cursor) {
    if (m_recounts > 1 && wantsWatch(folder) && (folder.watch < 0 || folder.verify))
        return startWatch(folder, cursor);
    return std::nullopt;
}

bool WatchSchedule::dropIfOnAnother(RememberedFolder &folder, const EntryId &read) {
    if (folder.watch < 0 || read == folder.watchedId)
        return false;
    dropWatch(folder);
    return true;
}

void WatchSchedule::afterReading(RememberedFolder &folder) {
    if (m_recounts == 1 && folder.watch < 0 && wantsWatch(folder))
        awaitWatch(folder);
}

WatchSchedule::Slice WatchSchedule::watchMore(const QDeadlineTimer &deadline, const QString &root,
                                              const RememberedFolder *top) {
    Slice slice;
    while (m_nextAwaiting < m_awaitingWatch.size() && !deadline.hasExpired()) {
        RememberedFolder *folder = m_awaitingWatch[m_nextAwaiting++];
        if (!folder)
            continue;
        folder->awaiting = -1;
        if (!top || folder->watch >= 0 || !wantsWatch(*folder))
            continue;
        if (!m_cursor)
            m_cursor.emplace(m_fs.cursor(root), *top);
        const std::optional<EntryStatus> watched = startWatch(*folder, m_cursor->at(*folder));
        if (!watched)
            continue;
        // Its listing holds if nothing changed between its reading and the
        // watch's start: the same folder, the same times, and times that were
        // settled when it was read.
        if (!ListingCheck::sameAndSettled(*folder, *watched))
            folder->dirty = true;
        slice.started = true;
    }
    if (m_nextAwaiting == m_awaitingWatch.size()) {
        m_awaitingWatch.clear();
        m_nextAwaiting = 0;
        m_cursor.reset();
    }
    slice.more = !m_awaitingWatch.empty();
    return slice;
}

void WatchSchedule::forget(RememberedFolder &folder) {
    if (folder.watch >= 0)
        dropWatch(folder);
    stopAwaitingWatch(folder);
}

bool WatchSchedule::wantsWatch(const RememberedFolder &folder) const {
    return m_watch && !folder.belowLink && !folder.unwatchable;
}

std::optional<EntryStatus> WatchSchedule::startWatch(RememberedFolder &folder, FolderCursor &cursor) {
    const std::optional<FolderWatch::Watched> watched = m_watch->watch(cursor);
    if (watched && watched->handle == folder.watch) {
        folder.watchedId = watched->status.id;
        return watched->status;
    }
    if (folder.watch >= 0)
        dropWatch(folder);
    // A folder already watched for another place in the tree (a bind mount)
    // keeps that watch; this place is asked instead.
    if (!watched || m_byWatch.count(watched->handle)) {
        folder.unwatchable = true;
        return std::nullopt;
    }
    folder.watch = watched->handle;
    folder.watchedId = watched->status.id;
    m_byWatch.emplace(folder.watch, &folder);
    stopAwaitingWatch(folder);
    return watched->status;
}

void WatchSchedule::dropWatch(RememberedFolder &folder) {
    m_watch->unwatch(folder.watch);
    m_byWatch.erase(folder.watch);
    folder.watch = -1;
}

void WatchSchedule::awaitWatch(RememberedFolder &folder) {
    if (folder.awaiting >= 0)
        return;
    folder.awaiting = qsizetype(m_awaitingWatch.size());
    m_awaitingWatch.push_back(&folder);
}

void WatchSchedule::stopAwaitingWatch(RememberedFolder &folder) {
    if (folder.awaiting < 0)
        return;
    m_awaitingWatch[size_t(folder.awaiting)] = nullptr;
    folder.awaiting = -1;
}

} // namespace varnotel
