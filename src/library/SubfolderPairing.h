#pragma once

#include "library/FreshStatuses.h"
#include "library/RememberedFolder.h"
#include "platform/FileSystem.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace varnotel {

// Finds what is remembered of each subfolder a folder's new reading lists,
// also of one moved or renamed (the same folder under another name), so that
// it need not be read again.
class SubfolderPairing {
public:
    // above: the root and every folder above it.
    explicit SubfolderPairing(const QList<EntryId> &above);

    struct Outcome {
        std::vector<std::unique_ptr<RememberedFolder>> gone; // no longer listed: to be forgotten
        int newLinks = 0;                                    // new subfolders reached through a link
    };
    // Gives the folder the cursor stands at its listed subfolders, each with
    // what is remembered of it or new; the statuses the reading gave go to fresh.
    Outcome pair(RememberedFolder &folder, FolderCursor &cursor, const QList<DirEntry> &entries,
                 FreshStatuses &fresh) const;

private:
    struct Pending;
    int pairById(RememberedFolder &folder, std::vector<std::unique_ptr<RememberedFolder>> &old,
                 const std::vector<Pending> &byId, FreshStatuses &fresh) const;

    const QList<EntryId> &m_above;
};

} // namespace varnotel
