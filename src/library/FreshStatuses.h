#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <unordered_map>

namespace varnotel {

struct RememberedFolder;

// The statuses that parents' readings and link checks gave during one
// recount, each taken by its folder when the walk comes to it.
class FreshStatuses {
public:
    void set(const RememberedFolder &folder, const std::optional<EntryStatus> &fresh) {
        if (fresh)
            m_statuses[&folder] = *fresh;
        else
            m_statuses.erase(&folder);
    }
    std::optional<EntryStatus> take(const RememberedFolder &folder) {
        const auto fresh = m_statuses.find(&folder);
        if (fresh == m_statuses.end())
            return std::nullopt;
        const EntryStatus status = fresh->second;
        m_statuses.erase(fresh);
        return status;
    }
    void forget(const RememberedFolder &folder) { m_statuses.erase(&folder); }
    void clear() { m_statuses.clear(); }

private:
    std::unordered_map<const RememberedFolder *, EntryStatus> m_statuses;
};

} // namespace varnotel
