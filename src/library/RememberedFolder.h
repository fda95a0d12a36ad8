#pragma once

#include "platform/FileSystem.h"
#include "platform/FolderCursor.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace varnotel {

// Links lead elsewhere without their folder changing: they are followed again
// at every recount.
struct RememberedLinks {
    QStringList toFiles;
    QStringList toNothing; // dangling, or to a system entry
    QStringList toAbove;   // to a folder that holds the whole tree: not followed
};

// What a folder's watch told by name since the folder was read.
struct NamedNews {
    // The first change of each name since the last recount: whether it came,
    // and whether as a folder.
    struct First {
        bool came;
        bool folder;
    };
    QHash<QString, First> pending;
    // Where only files are counted, the names whose state a named change
    // told since: whether each is a counted file now.
    QHash<QString, bool> counted;
};

// A folder as it was last read: its listing, and what tells whether that
// listing still holds.
struct RememberedFolder {
    QString name; // as its parent lists it; empty for the root
    RememberedFolder *parent = nullptr;
    int depth = 0;          // how many folders down from the root
    EntryId listedId;       // as its parent's listing gave it: each folder is visited once
    bool isLink = false;    // its parent lists it through a link
    bool belowLink = false; // itself or a folder above it is reached through a link: never watched

    // The state it was read in.
    bool read = false;
    bool opened = false;  // a folder that could not be read is read again every time
    bool denied = false;  // it is there, but could not be read
    EntryStatus status;   // taken before its entries were read
    bool trusted = false; // it had not changed for longer than the slack when it was read
    bool dirty = false;   // the watch reported a change since
    bool verify = false;  // the watch may have missed a change: ask for its status
    bool unwatchable = false;
    int watch = -1;
    EntryId watchedId;
    qsizetype awaiting = -1; // its place among those awaiting a watch
    bool mountedOn = false;  // read as another folder than its parent's entry names

    // Its listing.
    QStringList items;
    QStringList fileNames; // the files' whole names beside their items, where items are kept
    qint64 fileCount = 0;
    bool systemEntries = false; // it holds a FIFO, a socket or a device, never counted
    quint64 readIn = 0;         // the recount that read it last
    std::unique_ptr<NamedNews> named;
    std::unique_ptr<RememberedLinks> links; // few folders have any
    bool hasLinks = false;                  // links of its own, or subfolders through links
    std::vector<std::unique_ptr<RememberedFolder>> subfolders;

    RememberedFolder() = default;
    RememberedFolder(const RememberedFolder &) = delete;
    RememberedFolder &operator=(const RememberedFolder &) = delete;
    // Its subfolders go with it one at a time, on a stack of our own: a tree
    // as deep as the file system allows cannot overflow the call stack.
    ~RememberedFolder() {
        std::vector<std::unique_ptr<RememberedFolder>> gone = std::move(subfolders);
        while (!gone.empty()) {
            const std::unique_ptr<RememberedFolder> last = std::move(gone.back());
            gone.pop_back();
            if (!last)
                continue;
            for (std::unique_ptr<RememberedFolder> &sub : last->subfolders)
                gone.push_back(std::move(sub));
            last->subfolders.clear();
        }
    }
};

// A subfolder not yet read, of the folder, known by the id its entry gives.
inline std::unique_ptr<RememberedFolder> newSubfolder(RememberedFolder &folder, const EntryId &id,
                                                      bool isLink) {
    auto sub = std::make_unique<RememberedFolder>();
    sub->parent = &folder;
    sub->depth = folder.depth + 1;
    sub->listedId = id;
    sub->isLink = isLink;
    sub->belowLink = folder.belowLink || isLink;
    return sub;
}

struct EntryIdHash {
    size_t operator()(const EntryId &id) const noexcept {
        return std::hash<quint64>()(id.inode ^ (id.device << 40));
    }
};

inline RememberedLinks &linksOf(RememberedFolder &folder) {
    if (!folder.links)
        folder.links = std::make_unique<RememberedLinks>();
    return *folder.links;
}

// The root followed by the names down to the folder, each ending in a slash:
// only for a person to read, since it is as long as the folder is deep.
inline QString pathOf(const RememberedFolder &folder, const QString &root) {
    std::vector<const RememberedFolder *> chain;
    for (const RememberedFolder *at = &folder; at->parent; at = at->parent)
        chain.push_back(at);
    QString path = root;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path += (*it)->name + QLatin1Char('/');
    return path;
}

// A cursor that follows a walk over the remembered folders, moved to a folder
// only when that folder must be asked: up to the nearest folder above both,
// then down by names. Along a depth-first walk its moves add up to twice the
// folders walked at most, however deep they lie.
class FollowingCursor {
public:
    FollowingCursor(std::unique_ptr<FolderCursor> cursor, const RememberedFolder &top)
        : m_cursor(std::move(cursor)), m_at(&top) {}

    FolderCursor &at(const RememberedFolder &folder) {
        const RememberedFolder *down = &folder;
        std::vector<const RememberedFolder *> entered;
        while (m_at->depth > down->depth) {
            m_cursor->leave();
            m_at = m_at->parent;
        }
        while (down->depth > m_at->depth) {
            entered.push_back(down);
            down = down->parent;
        }
        while (m_at != down) {
            m_cursor->leave();
            m_at = m_at->parent;
            entered.push_back(down);
            down = down->parent;
        }
        for (auto it = entered.rbegin(); it != entered.rend(); ++it)
            m_cursor->enter((*it)->name);
        m_at = &folder;
        return *m_cursor;
    }

private:
    std::unique_ptr<FolderCursor> m_cursor;
    const RememberedFolder *m_at;
};

// The folder and every folder below it, on a stack of our own: a tree as deep
// as the file system allows cannot overflow the call stack.
template <typename F> void forEachFolder(RememberedFolder &top, F &&visit) {
    std::vector<RememberedFolder *> pending{&top};
    while (!pending.empty()) {
        RememberedFolder *folder = pending.back();
        pending.pop_back();
        visit(*folder);
        for (const std::unique_ptr<RememberedFolder> &sub : folder->subfolders)
            pending.push_back(sub.get());
    }
}

} // namespace varnotel
