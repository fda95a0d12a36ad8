#pragma once

#include "library/FreshStatuses.h"
#include "library/ListingCheck.h"
#include "library/NamedChanges.h"
#include "library/RememberedFolder.h"
#include "library/SubfolderPairing.h"
#include "library/WatchSchedule.h"
#include "platform/FileSystem.h"

#include <QDeadlineTimer>
#include <QList>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

namespace varnotel {

// A folder tree as it was last read: every folder's listing together with
// what identifies the state it was read in (which folder it was, and when it
// last changed). A recount reads again only the folders whose state changed,
// yet lists exactly what scanFolder lists, in the same order.
//
// A folder's state is known without asking it while a watch reports its
// changes (WatchSchedule); otherwise it is asked for its status, which counts
// only once settled (ListingCheck). What its watch names as come or gone is
// asked by name (NamedChanges). A folder that moved keeps what is remembered
// of it (SubfolderPairing).
class RememberedTree {
public:
    // What is kept of the files: their item texts (the name less its last four
    // characters), or only how many there are.
    enum class Keep { ItemTexts, Count };

    struct Files {
        QStringList items;
        qint64 count = 0;
    };

    RememberedTree(FileSystem &fs, QString root, Keep keep);
    ~RememberedTree();
    RememberedTree(const RememberedTree &) = delete;
    RememberedTree &operator=(const RememberedTree &) = delete;

    // Every file below the root, now. The first recount reads every folder
    // without watching it, so that start-up takes no longer than a plain scan.
    const Files &recount();

    // Puts watches on the folders the first recount read without one, until
    // the deadline passes. False when none is left.
    bool watchMore(const QDeadlineTimer &deadline);

    // The folders the last recount found but could not read.
    QStringList unreadableFolders();
    // The scratch files read since the last call, in folders not reached
    // through a link: left behind by a crash, or still being written.
    QStringList takeScratchFiles() { return std::exchange(m_scratchFiles, {}); }
    // Readable when a watched folder of the tree changed; -1 when the tree
    // has no watch that can tell, and must be asked.
    int newsDescriptor() const { return m_watches.newsDescriptor(); }
    // Whether some folder's changes only asking finds (no watch on it yet, a
    // link, a file system no watch can tell of): the next recount asks.
    bool mustAsk() const { return m_mustWalk || !m_top; } // a missing root comes back unwatched

private:
    bool tryWalk(const EntryStatus &rootStatus, bool strict);
    bool mayMeetAFolderTwice() const;
    bool bringUpToDate(RememberedFolder &folder, FollowingCursor &cursor);
    void applyNamedChanges(RememberedFolder &folder, FollowingCursor &cursor,
                           const std::optional<EntryStatus> &current);
    void reread(RememberedFolder &folder, FolderCursor &cursor, std::optional<EntryStatus> before);
    void install(RememberedFolder &folder, FolderCursor &cursor, FolderRead &read);
    void noteScratchFiles(const RememberedFolder &folder, const QStringList &names);
    void takeFiles(const RememberedFolder &folder);
    void forget(RememberedFolder &folder);

    FileSystem &m_fs;
    const QString m_root;
    const Keep m_keep;
    const QList<EntryId> m_above; // the root and every folder above it
    const ListingCheck m_check;
    const SubfolderPairing m_pairing;
    const NamedChanges m_named;
    WatchSchedule m_watches;
    std::unique_ptr<RememberedFolder> m_top;
    // The statuses parents' readings and link checks gave during this recount.
    FreshStatuses m_fresh;
    int m_links = 0;     // remembered folders reached through a link
    int m_mountedOn = 0; // remembered folders with another folder mounted on them
    EntryStatus m_rootStatus;
    Files m_files;
    QStringList m_scratchFiles;
    qint64 m_startNs = 0;   // when the current recount began
    quint64 m_recount = 0;  // how many recounts began
    bool m_mustWalk = true; // false while the last result is known to hold
};

} // namespace varnotel
