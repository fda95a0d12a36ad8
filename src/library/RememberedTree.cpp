#include "library/RememberedTree.h"

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
    EntryStatus status;   // taken before its entries were read
    bool trusted = false; // it had not changed for longer than the slack when it was read
    bool dirty = false;   // the watch reported a change since
    bool verify = false;  // the watch may have missed a change: ask for its status
    bool unwatchable = false;
    int watch = -1;
    EntryId watchedId;

    // Its listing.
    QStringList items;
    qint64 fileCount = 0;
    QStringList linkedFiles; // links to files: followed again at every recount
    QStringList idleLinks;   // links to nothing listed: followed again too
    bool hasLinks = false;
    std::vector<std::unique_ptr<Node>> subfolders;

    // The status its parent's listing or link check gave during a recount.
    std::optional<EntryStatus> fresh;
    quint64 freshDuring = 0;
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
      m_slackNs(fs.timestampSlackNs()), m_watch(fs.createFolderWatch()) {}

RememberedTree::~RememberedTree() {
    if (m_top)
        forget(*m_top);
}

const RememberedTree::Files &RememberedTree::recount() {
    ++m_recounts;
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
    if (!m_top) {
        m_top = std::make_unique<Node>();
        m_top->listedId = rootStatus.id;
    }
    m_top->listedId = rootStatus.id;
    m_top->fresh = rootStatus;
    m_top->freshDuring = m_recounts;

    std::unordered_set<EntryId, IdHash> discovered{rootStatus.id};
    std::vector<std::pair<Node *, QString>> pending{{m_top.get(), m_root}};
    std::vector<Node *> found;
    while (!pending.empty()) {
        auto [node, path] = std::move(pending.back());
        pending.pop_back();
        if (!bringUpToDate(*node, path) && strict) {
            // Its parent's listing no longer holds: read the parent again.
            node->parent->dirty = true;
            m_mustWalk = true;
            return false;
        }
        takeFiles(*node);
        found.clear();
        for (const std::unique_ptr<Node> &sub : node->subfolders) {
            if (discovered.insert(sub->listedId).second)
                found.push_back(sub.get());
        }
        // Pushed in reverse, so the first subfolder is walked next, whole.
        for (auto it = found.rbegin(); it != found.rend(); ++it)
            pending.emplace_back(*it, path + (*it)->name + QLatin1Char('/'));
    }
    return true;
}

// Reads the folder again unless its remembered listing holds. False when the
// folder is not the one its parent listed (gone, or another folder now).
bool RememberedTree::bringUpToDate(Node &node, const QString &path) {
    std::optional<EntryStatus> current;
    if (node.freshDuring == m_recounts)
        current = std::exchange(node.fresh, std::nullopt);
    if (!listingHolds(node, path, current))
        reread(node, path, current);
    if (node.watch < 0 || !node.opened || node.hasLinks)
        m_mustWalk = true; // it must be asked again next time
    return !node.parent || (node.status.kind == EntryStatus::Kind::Folder && node.status.id == node.listedId);
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
    for (const QString &name : std::as_const(node.linkedFiles)) {
        if (m_fs.status(path + name).kind != EntryStatus::Kind::File)
            return false;
    }
    for (const QString &name : std::as_const(node.idleLinks)) {
        const EntryStatus::Kind kind = m_fs.status(path + name).kind;
        if (kind == EntryStatus::Kind::File || kind == EntryStatus::Kind::Folder)
            return false;
    }
    for (const std::unique_ptr<Node> &sub : node.subfolders) {
        if (!sub->isLink)
            continue;
        const EntryStatus target = m_fs.status(path + sub->name);
        if (target.kind != EntryStatus::Kind::Folder || target.id != sub->listedId)
            return false;
        sub->fresh = target;
        sub->freshDuring = m_recounts;
    }
    return true;
}

// A watch begins before the reading, so no change falls between the two; a
// watch found on another folder than the one read is given up.
void RememberedTree::reread(Node &node, const QString &path, std::optional<EntryStatus> before) {
    const FileNames files = m_keep == Keep::ItemTexts ? FileNames::Listed : FileNames::Counted;
    FolderRead read;
    for (int attempt = 0; attempt < 2; ++attempt) {
        // After lost news a watch may have ended unreported: it is put on again.
        if (wantsWatch(node) && m_recounts > 1 && (node.watch < 0 || node.verify)) {
            if (const std::optional<EntryStatus> watched = startWatch(node, path))
                before = watched;
        }
        read = m_fs.readFolder(path, before.value_or(EntryStatus{}), files);
        if (node.watch < 0 || read.status.id == node.watchedId)
            break;
        dropWatch(node);
        before.reset();
    }
    if (node.watch >= 0 && read.status.id != node.watchedId)
        dropWatch(node);
    install(node, read);
    if (node.watch < 0 && wantsWatch(node) && m_recounts == 1)
        m_awaitingWatch.insert(&node);
}

void RememberedTree::install(Node &node, FolderRead &read) {
    node.read = true;
    node.opened = read.opened;
    node.status = read.status;
    node.dirty = false;
    node.verify = false;
    const qint64 settled = m_startNs - m_slackNs;
    node.trusted = read.status.times.modifiedNs < settled && read.status.times.changedNs < settled;
    node.items.clear();
    node.linkedFiles.clear();
    node.fileCount = read.unlistedFiles;
    for (const DirEntry &entry : std::as_const(read.entries)) {
        if (entry.kind != DirEntry::Kind::File)
            continue;
        ++node.fileCount;
        if (m_keep == Keep::ItemTexts)
            node.items.append(withoutLastFourCharacters(entry.name));
        if (entry.link)
            node.linkedFiles.append(entry.name);
    }
    node.idleLinks = std::move(read.idleLinks);
    adoptSubfolders(node, read.entries);
    node.hasLinks = !node.linkedFiles.isEmpty() || !node.idleLinks.isEmpty();
    for (const std::unique_ptr<Node> &sub : node.subfolders)
        node.hasLinks = node.hasLinks || sub->isLink;
}

// Subfolders still listed keep what is remembered of them, also under a new
// name (a renamed folder is the same folder); the others are forgotten.
void RememberedTree::adoptSubfolders(Node &node, const QList<DirEntry> &entries) {
    std::vector<std::unique_ptr<Node>> old = std::move(node.subfolders);
    node.subfolders.clear();
    std::unordered_multimap<EntryId, size_t, IdHash> oldById;
    oldById.reserve(old.size());
    for (size_t i = 0; i < old.size(); ++i)
        oldById.emplace(old[i]->listedId, i);
    for (const DirEntry &entry : entries) {
        if (entry.kind != DirEntry::Kind::Folder)
            continue;
        std::unique_ptr<Node> sub;
        const auto [first, last] = oldById.equal_range(entry.folderId);
        for (auto it = first; it != last && !sub; ++it) {
            if (old[it->second] && old[it->second]->isLink == entry.link)
                sub = std::move(old[it->second]);
        }
        if (!sub) {
            sub = std::make_unique<Node>();
            sub->parent = &node;
            sub->listedId = entry.folderId;
            sub->isLink = entry.link;
            sub->belowLink = node.belowLink || entry.link;
        }
        sub->name = entry.name;
        sub->fresh = EntryStatus{EntryStatus::Kind::Folder, entry.folderId, entry.folderTimes};
        sub->freshDuring = m_recounts;
        node.subfolders.push_back(std::move(sub));
    }
    for (std::unique_ptr<Node> &gone : old) {
        if (gone)
            forget(*gone);
    }
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
    m_awaitingWatch.erase(&node);
    return watched->status;
}

void RememberedTree::dropWatch(Node &node) {
    m_watch->unwatch(node.watch);
    m_byWatch.erase(node.watch);
    node.watch = -1;
}

bool RememberedTree::watchMore(const QDeadlineTimer &deadline) {
    while (!m_awaitingWatch.empty() && !deadline.hasExpired()) {
        Node &node = **m_awaitingWatch.begin();
        m_awaitingWatch.erase(m_awaitingWatch.begin());
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

void RememberedTree::forget(Node &node) {
    std::vector<Node *> pending{&node};
    while (!pending.empty()) {
        Node *gone = pending.back();
        pending.pop_back();
        if (gone->watch >= 0)
            dropWatch(*gone);
        m_awaitingWatch.erase(gone);
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
