#include "library/ListingCheck.h"

#include <utility>

namespace varnotel {

ListingCheck::ListingCheck(const FileSystem &fs, const QList<EntryId> &above)
    : m_above(above), m_slackNs(fs.timestampSlackNs()) {}

bool ListingCheck::vouchedByItsWatch(const RememberedFolder &folder,
                                     const std::optional<EntryStatus> &current) {
    return folder.read && folder.opened && !folder.dirty && folder.watch >= 0 && !folder.verify &&
           !folder.hasLinks && (!current || current->id == folder.status.id);
}

bool ListingCheck::vouchedUntilItsWatchTells(const RememberedFolder &folder) {
    return folder.watch >= 0 && folder.opened && !folder.hasLinks;
}

bool ListingCheck::holds(RememberedFolder &folder, FolderCursor &cursor, std::optional<EntryStatus> &current,
                         FreshStatuses &fresh) const {
    if (!folder.read || folder.dirty || !folder.opened)
        return false;
    if (folder.watch < 0 || folder.verify) {
        if (!current)
            current = cursor.status();
        if (!sameAndSettled(folder, *current))
            return false;
        folder.verify = false;
    } else if (current && current->id != folder.status.id) {
        return false;
    }
    return linksHold(folder, cursor, fresh);
}

// A link can come to lead elsewhere without its folder changing.
bool ListingCheck::linksHold(RememberedFolder &folder, FolderCursor &cursor, FreshStatuses &fresh) const {
    if (!folder.hasLinks)
        return true;
    if (folder.links) {
        for (const QString &name : std::as_const(folder.links->toFiles)) {
            if (cursor.status(name).kind != EntryStatus::Kind::File)
                return false;
        }
        for (const QString &name : std::as_const(folder.links->toNothing)) {
            const EntryStatus::Kind kind = cursor.status(name).kind;
            if (kind == EntryStatus::Kind::File || kind == EntryStatus::Kind::Folder)
                return false;
        }
        for (const QString &name : std::as_const(folder.links->toAbove)) {
            const EntryStatus target = cursor.status(name);
            if (target.kind != EntryStatus::Kind::Folder || !m_above.contains(target.id))
                return false;
        }
    }
    for (const std::unique_ptr<RememberedFolder> &sub : folder.subfolders) {
        if (!sub->isLink)
            continue;
        const EntryStatus target = cursor.status(sub->name);
        if (target.kind != EntryStatus::Kind::Folder || target.id != sub->listedId)
            return false;
        fresh.set(*sub, target);
    }
    return true;
}

bool ListingCheck::sameAndSettled(const RememberedFolder &folder, const EntryStatus &current) {
    return current == folder.status && folder.trusted;
}

bool ListingCheck::settled(const EntryStatus &status, qint64 recountStartNs) const {
    const qint64 settledBefore = recountStartNs - m_slackNs;
    return status.times.modifiedNs < settledBefore && status.times.changedNs < settledBefore;
}

// A remembered subfolder is asked for its status when it was found to be
// another folder than its entry named, or news was lost since (a mount may
// have come); a new one gives its status when it is read.
bool ListingCheck::entryVouchesFor(const RememberedFolder &subfolder) {
    return !subfolder.verify && (!subfolder.read || subfolder.status.id == subfolder.listedId);
}

} // namespace varnotel
