#pragma once

#include "library/FreshStatuses.h"
#include "library/RememberedFolder.h"
#include "platform/FileSystem.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnotel {

// Whether a remembered listing still holds, asking the disk no more than the
// folder's state requires: nothing while its watch vouches for it, else its
// status, and the targets of its links.
//
// A status equal to the remembered one counts only when the folder had not
// changed for longer than the file system's timestamp slack before it was
// read: two changes within one tick of its clock leave the same times behind.
class ListingCheck {
public:
    // above: the root and every folder above it.
    ListingCheck(const FileSystem &fs, const QList<EntryId> &above);

    // Nothing to ask: read, watched, no change reported, no links to follow.
    static bool vouchedByItsWatch(const RememberedFolder &folder, const std::optional<EntryStatus> &current);
    // Whether the watch alone can vouch for it at the next recount.
    static bool vouchedUntilItsWatchTells(const RememberedFolder &folder);

    // Asks what must be asked of the folder the cursor stands at. current is
    // its status if known, and what was asked of it after; the statuses of
    // subfolders through links go to fresh.
    bool holds(RememberedFolder &folder, FolderCursor &cursor, std::optional<EntryStatus> &current,
               FreshStatuses &fresh) const;

    // The same folder, the same times, and times that were settled when it was read.
    static bool sameAndSettled(const RememberedFolder &folder, const EntryStatus &current);
    // Whether a folder read with this status in a recount begun then had settled.
    bool settled(const EntryStatus &status, qint64 recountStartNs) const;

    // The inode a folder's entry names is the subfolder's own unless something
    // is mounted on it: whether its entry can stand for its status.
    static bool entryVouchesFor(const RememberedFolder &subfolder);

private:
    bool linksHold(RememberedFolder &folder, FolderCursor &cursor, FreshStatuses &fresh) const;

    const QList<EntryId> &m_above;
    const qint64 m_slackNs;
};

} // namespace varnotel
