#pragma once

#include "library/RememberedFolder.h"
#include "platform/FileSystem.h"
#include "platform/FolderWatch.h"

#include <QDeadlineTimer>
#include <QString>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace varnotel {

// When the remembered folders are watched, and what their watch reports.
// The first recount reads every folder without watching it, so that start-up
// takes no longer than a plain scan; those folders are watched a slice at a
// time after the first frame. Later readings put the watch on first.
class WatchSchedule {
public:
    explicit WatchSchedule(const FileSystem &fs);
    ~WatchSchedule();
    WatchSchedule(const WatchSchedule &) = delete;
    WatchSchedule &operator=(const WatchSchedule &) = delete;

    // At the start of every recount: takes the watch's news into the folders
    // it names. True when the last result may no longer hold.
    bool beginRecount(RememberedFolder *top);

    // Before the folder the cursor stands at is read: a watch put on (again)
    // after start-up, and the status it found.
    std::optional<EntryStatus> watchBeforeReading(RememberedFolder &folder, FolderCursor &cursor);
    // True when the folder's watch was on another folder than the one read,
    // and is given up.
    bool dropIfOnAnother(RememberedFolder &folder, const EntryId &read);
    // After a folder is read at start-up: it awaits a watch.
    void afterReading(RememberedFolder &folder);

    struct Slice {
        bool started = false; // a watch began: the next recount must walk
        bool more = false;    // folders still await one
    };
    // Puts watches on folders awaiting one, in the order they were read, until
    // the deadline passes. top is the root's folder, named by root.
    Slice watchMore(const QDeadlineTimer &deadline, const QString &root, const RememberedFolder *top);

    // The folder leaves the tree: its watch ends, and it awaits none.
    void forget(RememberedFolder &folder);

    // Readable when the watch has news; -1 without a watch that can tell.
    int newsDescriptor() const;

private:
    static void noteNamedChange(RememberedFolder &folder, const FolderWatch::NamedChange &change);
    bool wantsWatch(const RememberedFolder &folder) const;
    std::optional<EntryStatus> startWatch(RememberedFolder &folder, FolderCursor &cursor);
    void dropWatch(RememberedFolder &folder);
    void awaitWatch(RememberedFolder &folder);
    void stopAwaitingWatch(RememberedFolder &folder);

    const FileSystem &m_fs;
    std::unique_ptr<FolderWatch> m_watch;
    std::unordered_map<int, RememberedFolder *> m_byWatch;
    // In the order of the walk that read them, so that a cursor moving from
    // each to the next walks the tree once; a folder that no longer awaits
    // leaves an empty place, which keeps that order.
    std::vector<RememberedFolder *> m_awaitingWatch;
    size_t m_nextAwaiting = 0;
    // Where the last slice left off, until a recount may change the tree.
    std::optional<FollowingCursor> m_cursor;
    quint64 m_recounts = 0;
};

} // namespace varnotel
