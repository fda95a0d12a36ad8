#pragma once

#include "library/FreshStatuses.h"
#include "library/RememberedFolder.h"
#include "platform/FolderCursor.h"

#include <memory>
#include <vector>

namespace varnotel {

// Brings a watched folder's remembered listing up to date by asking only for
// the entries its watch named as come or gone, so that a folder of 20,000
// entries that gained one file is not read again. A name is compared as it was
// listed with what it is now, whatever happened in between.
//
// Where the listing cannot tell what a name was, it declines, and the folder
// is read whole: a link among the names; where only files are counted, a
// file's name that no change told before, while the news may still overlap
// the folder's last reading or a system entry may have borne it; more names
// than reading the folder costs.
class NamedChanges {
public:
    explicit NamedChanges(bool namesKept) : m_namesKept(namesKept) {}

    struct Outcome {
        bool applied = false;
        std::vector<std::unique_ptr<RememberedFolder>> gone; // subfolders no longer there: to be forgotten
    };
    // The cursor stands at the folder; `recount` is the current recount's number.
    Outcome apply(RememberedFolder &folder, FolderCursor &cursor, quint64 recount,
                  FreshStatuses &fresh) const;

private:
    enum class Was { Nothing, File, Folder, Unknown };
    Was wasListed(const RememberedFolder &folder, const QString &name, quint64 recount) const;
    void removeFile(RememberedFolder &folder, const QString &name) const;
    void addFile(RememberedFolder &folder, const QString &name) const;

    const bool m_namesKept;
};

} // namespace varnotel
