#include "library/SubfolderPairing.h"

#include "library/ListingCheck.h"
#include "library/ListingOrder.h"

#include <unordered_map>

namespace varnotel {

// A subfolder left to be paired by id: its place in the new listing.
struct SubfolderPairing::Pending {
    size_t slot;
    const DirEntry *entry;
    std::optional<EntryStatus> fresh;
};

SubfolderPairing::SubfolderPairing(const QList<EntryId> &above) : m_above(above) {}

// Subfolders still listed keep what is remembered of them, also under a new
// name (a renamed folder is the same folder); the others are forgotten. Old
// and new listings are in the same order, so most are paired by a merge on
// their names; only the rest are paired by id.
SubfolderPairing::Outcome SubfolderPairing::pair(RememberedFolder &folder, FolderCursor &cursor,
                                                 const QList<DirEntry> &entries, FreshStatuses &fresh) const {
    std::vector<std::unique_ptr<RememberedFolder>> old = std::move(folder.subfolders);
    folder.subfolders.clear();
    std::vector<Pending> byId;
    size_t next = 0;
    for (const DirEntry &entry : entries) {
        if (entry.kind != DirEntry::Kind::Folder)
            continue;
        if (entry.link && m_above.contains(entry.folderId)) {
            linksOf(folder).toAbove.append(entry.name);
            continue;
        }
        while (next < old.size() && old[next]->name != entry.name &&
               listedBefore(old[next]->name, entry.name))
            ++next;
        std::unique_ptr<RememberedFolder> *named =
            next < old.size() && old[next]->name == entry.name ? &old[next] : nullptr;
        std::optional<EntryStatus> status;
        if (entry.stated) {
            status = EntryStatus{EntryStatus::Kind::Folder, entry.folderId, entry.folderTimes};
        } else if (named && !(*named)->isLink && (*named)->listedId == entry.folderId &&
                   !ListingCheck::entryVouchesFor(**named)) {
            status = cursor.status(entry.name);
            if (status->kind != EntryStatus::Kind::Folder)
                continue; // gone since the reading: the folder's watch reports it
        }
        const EntryId id = status ? status->id : entry.folderId;
        if (named && (*named)->listedId == id && (*named)->isLink == entry.link) {
            folder.subfolders.push_back(std::move(*named));
            fresh.set(*folder.subfolders.back(), status);
            ++next;
        } else {
            byId.push_back({folder.subfolders.size(), &entry, status});
            folder.subfolders.emplace_back();
        }
    }
    const int newLinks = pairById(folder, old, byId, fresh);
    std::erase(old, nullptr);
    return {std::move(old), newLinks};
}

// Pairs the rest by id, and makes new ones for those remembered under none:
// how many of those are reached through a link.
int SubfolderPairing::pairById(RememberedFolder &folder, std::vector<std::unique_ptr<RememberedFolder>> &old,
                               const std::vector<Pending> &byId, FreshStatuses &fresh) const {
    int newLinks = 0;
    std::unordered_multimap<EntryId, size_t, EntryIdHash> oldById;
    if (!byId.empty()) {
        for (size_t i = 0; i < old.size(); ++i) {
            if (old[i])
                oldById.emplace(old[i]->listedId, i);
        }
    }
    for (const Pending &pending : byId) {
        const DirEntry &entry = *pending.entry;
        const EntryId id = pending.fresh ? pending.fresh->id : entry.folderId;
        std::unique_ptr<RememberedFolder> &sub = folder.subfolders[pending.slot];
        const auto [first, last] = oldById.equal_range(id);
        for (auto it = first; it != last && !sub; ++it) {
            if (old[it->second] && old[it->second]->isLink == entry.link)
                sub = std::move(old[it->second]);
        }
        if (!sub) {
            sub = newSubfolder(folder, id, entry.link);
            newLinks += entry.link ? 1 : 0;
        }
        sub->name = entry.name;
        fresh.set(*sub, pending.fresh);
    }
    return newLinks;
}

} // namespace varnotel
