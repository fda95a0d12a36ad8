#include "library/RememberedTree.h"

#include "library/FolderAncestry.h"
#include "library/FolderScanner.h"
#include "platform/FolderWatch.h"

#include <chrono>
#include <utility>
#include <vector>

namespace varnotel {

struct RememberedTree::Node {
    QString name; // as its parent lists it; empty for the root
    Node *parent = nullptr;
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
    qint64 fileCount = 0;
    std::unique_ptr<Links> links; // few folders have any
    bool hasLinks = false;        // links of its own, or subfolders through links
    std::vector<std::unique_ptr<Node>> subfolders;
};

// Links lead elsewhere without their folder changing: they are followed again
// at every recount.
struct RememberedTree::Links {
    QStringList toFiles;
    QStringList toNothing; // dangling, or to a system entry
    QStringList toAbove;   // to a folder that holds the whole tree: not followed
};

namespace {

qint64 realTimeNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

constexpr int kWalkAttempts = 4;

} // namespace

RememberedTree::RememberedTree(FileSystem &fs, QString root, Keep keep)
    : m_fs(fs), m_root(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')), m_keep(keep),
      m_slackNs(fs.timestampSlackNs()), m_watch(fs.createFolderWatch()),
      m_above(folderAndItsAncestors(fs, m_root)) {}

QStringList RememberedTree::unreadableFolders() {
    QStringList denied;
    forEachNode([&](Node &node) {
        if (node.read && node.denied)
            denied << pathOf(node);
    });
    return denied;
}

RememberedTree::~RememberedTree() {
    if (m_top)
        forget(*m_top);
}

const RememberedTree::Files &RememberedTree::recount() {
    ++m_recounts;
    m_fresh.clear();
    takeNews();
    m_startNs = realTimeNs();
    const EntryStatus rootStatus = m_fs.status(m_root);
    const bool sameRoot = rootStatus.kind == m_rootStatus.kind && rootStatus.id == m_rootStatus.id;
    if (m_mustWalk || !sameRoot) {
        m_rootStatus = rootStatus;
        bool done = false;
        for (int attempt = 1; attempt <= kWalkAttempts && !done; ++attempt)
            done = tryWalk(rootStatus, attempt < kWalkAttempts);
    }
    return m_files;
}

// The same walk as scanFolder's, over the remembered listings: a folder's own
// files, then its subfolders depth first, each folder once.
bool RememberedTree::tryWalk(const EntryStatus &rootStatus, bool strict) {
    m_files = {};
    m_mustWalk = false;
    if (rootStatus.kind != EntryStatus::Kind::Folder) {
        if (m_top)
            forget(*m_top);
        m_top.reset();
        return true;
    }
    if (!m_top)
        m_top = std::make_unique<Node>();
    m_top->listedId = rootStatus.id;
    setFresh(*m_top, rootStatus);

    // Each folder once. A folder has one parent, so only a link or a mount
    // can bring the walk to a folder twice; a catalogue rarely has either.
    const bool oncePerId = mayMeetAFolderTwice();
    std::unordered_set<EntryId, IdHash> discovered;
    if (oncePerId)
        discovered.insert(rootStatus.id);
    std::vector<Node *> pending{m_top.get()};
    std::vector<Node *> found;
    while (!pending.empty()) {
        Node *node = pending.back();
        pending.pop_back();
        if (!bringUpToDate(*node) && strict) {
            // Its parent's listing no longer holds: read the parent again.
            node->parent->dirty = true;
            m_mustWalk = true;
            return false;
        }
        if (!oncePerId && mayMeetAFolderTwice())
            return tryWalk(rootStatus, strict); // a folder just read brought a link: again, with the ids
        takeFiles(*node);
        found.clear();
        for (const std::unique_ptr<Node> &sub : node->subfolders) {
            if (!oncePerId || discovered.insert(sub->listedId).second)
                found.push_back(sub.get());
        }
        // Pushed in reverse, so the first subfolder is walked next, whole.
        pending.insert(pending.end(), found.rbegin(), found.rend());
    }
    return true;
}

bool RememberedTree::mayMeetAFolderTwice() const { return m_links > 0 || m_mountedOn > 0; }

// Reads the folder again unless its remembered listing holds. False when the
// folder is not the one its parent listed (gone, or another folder now).
bool RememberedTree::bringUpToDate(Node &node) {
    std::optional<EntryStatus> current;
    if (const auto fresh = m_fresh.find(&node); fresh != m_fresh.end()) {
        current = fresh->second;
        m_fresh.erase(fresh);
    }
    if (!vouchedByItsWatch(node, current)) {
        const QString path = pathOf(node); // made only for a folder that must be asked
        if (!listingHolds(node, path, current))
            reread(node, path, current);
    }
    if (node.watch < 0 || !node.opened || node.hasLinks)
        m_mustWalk = true; // it must be asked again next time
    return !node.parent || (node.status.kind == EntryStatus::Kind::Folder && node.status.id == node.listedId);
}

// Nothing to ask: read, watched, no change reported, no links to follow.
bool RememberedTree::vouchedByItsWatch(const Node &node, const std::optional<EntryStatus> &current) const {
    return node.read && node.opened && !node.dirty && node.watch >= 0 && !node.verify && !node.hasLinks &&
           (!current || current->id == node.status.id);
}

bool RememberedTree::listingHolds(Node &node, const QString &path, std::optional<EntryStatus> &current) {
    if (!node.read || node.dirty || !node.opened)
        return false;
    if (node.watch < 0 || node.verify) {
        if (!current)
            current = m_fs.status(path);
        if (*current != node.status || !node.trusted)
            return false;
        node.verify = false;
    } else if (current && current->id != node.status.id) {
        return false;
    }
    return linksHold(node, path);
}

// A link can come to lead elsewhere without its folder changing.
bool RememberedTree::linksHold(Node &node, const QString &path) {
    if (!node.hasLinks)
        return true;
    if (node.links) {
        for (const QString &name : std::as_const(node.links->toFiles)) {
            if (m_fs.status(path + name).kind != EntryStatus::Kind::File)
                return false;
        }
        for (const QString &name : std::as_const(node.links->toNothing)) {
            const EntryStatus::Kind kind = m_fs.status(path + name).kind;
            if (kind == EntryStatus::Kind::File || kind == EntryStatus::Kind::Folder)
                return false;
        }
        for (const QString &name : std::as_const(node.links->toAbove)) {
            const EntryStatus target = m_fs.status(path + name);
            if (target.kind != EntryStatus::Kind::Folder || !m_above.contains(target.id))
                return false;
        }
    }
    for (const std::unique_ptr<Node> &sub : node.subfolders) {
        if (!sub->isLink)
            continue;
        const EntryStatus target = m_fs.status(path + sub->name);
        if (target.kind != EntryStatus::Kind::Folder || target.id != sub->listedId)
            return false;
        setFresh(*sub, target);
    }
    return true;
}

// A watch begins before the reading, so no change falls between the two; a
// watch found on another folder than the one read is given up.
void RememberedTree::reread(Node &node, const QString &path, std::optional<EntryStatus> before) {
    const FileNames files = m_keep == Keep::ItemTexts ? FileNames::Listed : FileNames::Counted;
    // Subfolders are not asked when their parent is read: each gives its own
    // status when it is read itself, and a known one is vouched for, so a new
    // journal costs one status, not one per journal.
    const Subfolders subfolders = Subfolders::InodesOnly;
    FolderRead read;
    for (int attempt = 0; attempt < 2; ++attempt) {
        // After lost news a watch may have ended unreported: it is put on again.
        if (wantsWatch(node) && m_recounts > 1 && (node.watch < 0 || node.verify)) {
            if (const std::optional<EntryStatus> watched = startWatch(node, path))
                before = watched;
        }
        read = m_fs.readFolder(path, before.value_or(EntryStatus{}), files, subfolders);
        if (node.watch < 0 || read.status.id == node.watchedId)
            break;
        dropWatch(node);
        before.reset();
    }
    if (node.watch >= 0 && read.status.id != node.watchedId)
        dropWatch(node);
    install(node, path, read);
    if (node.watch < 0 && wantsWatch(node) && m_recounts == 1)
        awaitWatch(node);
}

void RememberedTree::install(Node &node, const QString &path, FolderRead &read) {
    node.read = true;
    node.opened = read.opened;
    node.denied = read.denied;
    node.status = read.status;
    const bool mountedOn =
        node.parent && read.status.kind == EntryStatus::Kind::Folder && read.status.id != node.listedId;
    m_mountedOn += int(mountedOn) - int(node.mountedOn);
    node.mountedOn = mountedOn;
    node.dirty = false;
    node.verify = false;
    const qint64 settled = m_startNs - m_slackNs;
    node.trusted = read.status.times.modifiedNs < settled && read.status.times.changedNs < settled;
    node.items.clear();
    node.links.reset();
    node.fileCount = read.unlistedFiles;
    for (DirEntry &entry : read.entries) {
        if (entry.kind != DirEntry::Kind::File)
            continue;
        ++node.fileCount;
        if (entry.link)
            linksOf(node).toFiles.append(entry.name);
        if (m_keep == Keep::ItemTexts) {
            dropLastFourCharacters(entry.name);
            node.items.append(std::move(entry.name));
        }
    }
    if (!read.idleLinks.isEmpty())
        linksOf(node).toNothing = std::move(read.idleLinks);
    adoptSubfolders(node, path, read.entries);
    node.hasLinks = node.links != nullptr;
    for (const std::unique_ptr<Node> &sub : node.subfolders)
        node.hasLinks = node.hasLinks || sub->isLink;
}

// A subfolder left to be paired by id: its place in the new listing.
struct RememberedTree::Pending {
    size_t slot;
    const DirEntry *entry;
    std::optional<EntryStatus> fresh;
};

namespace {

// The order every listing has: case-insensitive by name, ties by exact name.
bool listedBefore(const QString &a, const QString &b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

// Subfolders still listed keep what is remembered of them, also under a new
// name (a renamed folder is the same folder); the others are forgotten. Old
// and new listings are in the same order, so most are paired by a merge on
// their names; only the rest are paired by id.
void RememberedTree::adoptSubfolders(Node &node, const QString &path, const QList<DirEntry> &entries) {
    std::vector<std::unique_ptr<Node>> old = std::move(node.subfolders);
    node.subfolders.clear();
    std::vector<Pending> byId;
    size_t next = 0;
    for (const DirEntry &entry : entries) {
        if (entry.kind != DirEntry::Kind::Folder)
            continue;
        if (entry.link && m_above.contains(entry.folderId)) {
            linksOf(node).toAbove.append(entry.name);
            continue;
        }
        while (next < old.size() && old[next]->name != entry.name &&
               listedBefore(old[next]->name, entry.name))
            ++next;
        std::unique_ptr<Node> *named =
            next < old.size() && old[next]->name == entry.name ? &old[next] : nullptr;
        std::optional<EntryStatus> fresh;
        if (entry.stated) {
            fresh = EntryStatus{EntryStatus::Kind::Folder, entry.folderId, entry.folderTimes};
        } else if (named && !(*named)->isLink && (*named)->listedId == entry.folderId &&
                   !vouchedFor(**named)) {
            fresh = m_fs.status(path + entry.name);
            if (fresh->kind != EntryStatus::Kind::Folder)
                continue; // gone since the reading: the folder's watch reports it
        }
        const EntryId id = fresh ? fresh->id : entry.folderId;
        if (named && (*named)->listedId == id && (*named)->isLink == entry.link) {
            node.subfolders.push_back(std::move(*named));
            setFresh(*node.subfolders.back(), fresh);
            ++next;
        } else {
            byId.push_back({node.subfolders.size(), &entry, fresh});
            node.subfolders.emplace_back();
        }
    }
    adoptById(node, old, byId);
}

void RememberedTree::adoptById(Node &node, std::vector<std::unique_ptr<Node>> &old,
                               const std::vector<Pending> &byId) {
    std::unordered_multimap<EntryId, size_t, IdHash> oldById;
    if (!byId.empty()) {
        for (size_t i = 0; i < old.size(); ++i) {
            if (old[i])
                oldById.emplace(old[i]->listedId, i);
        }
    }
    for (const Pending &pending : byId) {
        const DirEntry &entry = *pending.entry;
        const EntryId id = pending.fresh ? pending.fresh->id : entry.folderId;
        std::unique_ptr<Node> &sub = node.subfolders[pending.slot];
        const auto [first, last] = oldById.equal_range(id);
        for (auto it = first; it != last && !sub; ++it) {
            if (old[it->second] && old[it->second]->isLink == entry.link)
                sub = std::move(old[it->second]);
        }
        if (!sub) {
            sub = std::make_unique<Node>();
            sub->parent = &node;
            sub->listedId = id;
            sub->isLink = entry.link;
            m_links += entry.link ? 1 : 0;
            sub->belowLink = node.belowLink || entry.link;
        }
        sub->name = entry.name;
        setFresh(*sub, pending.fresh);
    }
    for (std::unique_ptr<Node> &gone : old) {
        if (gone)
            forget(*gone);
    }
}

void RememberedTree::setFresh(Node &node, const std::optional<EntryStatus> &fresh) {
    if (fresh)
        m_fresh[&node] = *fresh;
    else
        m_fresh.erase(&node);
}

// The inode a folder's entry names is the subfolder's own unless something is
// mounted on it. A remembered subfolder is asked for its status when it was
// found to be another folder than its entry named, or news was lost since
// (a mount may have come); a new one gives its status when it is read.
bool RememberedTree::vouchedFor(const Node &node) const {
    return !node.verify && (!node.read || node.status.id == node.listedId);
}

RememberedTree::Links &RememberedTree::linksOf(Node &node) {
    if (!node.links)
        node.links = std::make_unique<Links>();
    return *node.links;
}

void RememberedTree::takeFiles(const Node &node) {
    m_files.count += node.fileCount;
    if (m_keep != Keep::ItemTexts || node.items.isEmpty())
        return;
    if (m_files.items.isEmpty())
        m_files.items = node.items; // shared: a one-folder tree copies no name
    else
        m_files.items.append(node.items);
}

void RememberedTree::takeNews() {
    if (!m_watch)
        return;
    const FolderWatch::News news = m_watch->takeNews();
    for (const int handle : news.changed) {
        if (const auto it = m_byWatch.find(handle); it != m_byWatch.end()) {
            it->second->dirty = true;
            m_mustWalk = true;
        }
    }
    for (const int handle : news.ended) {
        if (const auto it = m_byWatch.find(handle); it != m_byWatch.end()) {
            it->second->watch = -1;
            m_byWatch.erase(it);
        }
    }
    if (news.lostTrack) {
        forEachNode([](Node &node) { node.verify = true; });
        m_mustWalk = true;
    }
}

bool RememberedTree::wantsWatch(const Node &node) const {
    return m_watch && !node.belowLink && !node.unwatchable;
}

std::optional<EntryStatus> RememberedTree::startWatch(Node &node, const QString &path) {
    const std::optional<FolderWatch::Watched> watched = m_watch->watch(path);
    if (watched && watched->handle == node.watch) {
        node.watchedId = watched->status.id;
        return watched->status;
    }
    if (node.watch >= 0)
        dropWatch(node);
    // A folder already watched for another place in the tree (a bind mount)
    // keeps that watch; this place is asked instead.
    if (!watched || m_byWatch.count(watched->handle)) {
        node.unwatchable = true;
        return std::nullopt;
    }
    node.watch = watched->handle;
    node.watchedId = watched->status.id;
    m_byWatch.emplace(node.watch, &node);
    stopAwaitingWatch(node);
    return watched->status;
}

void RememberedTree::dropWatch(Node &node) {
    m_watch->unwatch(node.watch);
    m_byWatch.erase(node.watch);
    node.watch = -1;
}

bool RememberedTree::watchMore(const QDeadlineTimer &deadline) {
    while (!m_awaitingWatch.empty() && !deadline.hasExpired()) {
        Node &node = *m_awaitingWatch.back();
        stopAwaitingWatch(node);
        if (node.watch >= 0 || !wantsWatch(node))
            continue;
        const std::optional<EntryStatus> watched = startWatch(node, pathOf(node));
        if (!watched)
            continue;
        // Its listing holds if nothing changed between its reading and the
        // watch's start: the same folder, the same times, and times that were
        // settled when it was read.
        if (*watched != node.status || !node.trusted)
            node.dirty = true;
        m_mustWalk = true;
    }
    return !m_awaitingWatch.empty();
}

void RememberedTree::awaitWatch(Node &node) {
    if (node.awaiting >= 0)
        return;
    node.awaiting = qsizetype(m_awaitingWatch.size());
    m_awaitingWatch.push_back(&node);
}

void RememberedTree::stopAwaitingWatch(Node &node) {
    if (node.awaiting < 0)
        return;
    Node *last = m_awaitingWatch.back();
    m_awaitingWatch[size_t(node.awaiting)] = last;
    last->awaiting = node.awaiting;
    m_awaitingWatch.pop_back();
    node.awaiting = -1;
}

void RememberedTree::forget(Node &node) {
    std::vector<Node *> pending{&node};
    while (!pending.empty()) {
        Node *gone = pending.back();
        pending.pop_back();
        if (gone->watch >= 0)
            dropWatch(*gone);
        stopAwaitingWatch(*gone);
        m_fresh.erase(gone);
        m_links -= gone->isLink ? 1 : 0;
        m_mountedOn -= gone->mountedOn ? 1 : 0;
        for (const std::unique_ptr<Node> &sub : gone->subfolders)
            pending.push_back(sub.get());
    }
}

template <typename F> void RememberedTree::forEachNode(F &&visit) {
    if (!m_top)
        return;
    std::vector<Node *> pending{m_top.get()};
    while (!pending.empty()) {
        Node *node = pending.back();
        pending.pop_back();
        visit(*node);
        for (const std::unique_ptr<Node> &sub : node->subfolders)
            pending.push_back(sub.get());
    }
}

QString RememberedTree::pathOf(const Node &node) const {
    std::vector<const Node *> chain;
    for (const Node *at = &node; at->parent; at = at->parent)
        chain.push_back(at);
    QString path = m_root;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path += (*it)->name + QLatin1Char('/');
    return path;
}

} // namespace varnotel
