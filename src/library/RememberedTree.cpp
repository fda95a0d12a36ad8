#include "library/RememberedTree.h"

#include "library/FolderAncestry.h"
#include "library/FolderScanner.h"

#include <chrono>
#include <unordered_set>
#include <utility>
#include <vector>

namespace varnotel {

namespace {

qint64 realTimeNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

constexpr int kWalkAttempts = 4;

} // namespace

RememberedTree::RememberedTree(FileSystem &fs, QString root, Keep keep)
    : m_fs(fs), m_root(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')), m_keep(keep),
      m_above(folderAndItsAncestors(fs, m_root)), m_check(fs, m_above), m_pairing(m_above),
      m_named(keep == Keep::ItemTexts), m_watches(fs) {}

QStringList RememberedTree::unreadableFolders() {
    QStringList denied;
    if (m_top) {
        forEachFolder(*m_top, [&](RememberedFolder &folder) {
            if (folder.read && folder.denied)
                denied << pathOf(folder, m_root);
        });
    }
    return denied;
}

RememberedTree::~RememberedTree() {
    if (m_top)
        forget(*m_top);
}

const RememberedTree::Files &RememberedTree::recount() {
    m_fresh.clear();
    ++m_recount;
    if (m_watches.beginRecount(m_top.get()))
        m_mustWalk = true;
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

bool RememberedTree::watchMore(const QDeadlineTimer &deadline) {
    const WatchSchedule::Slice slice = m_watches.watchMore(deadline, m_root, m_top.get());
    if (slice.started)
        m_mustWalk = true;
    return slice.more;
}

// The same walk as scanFolder's, over the remembered listings: a folder's own
// files, then its subfolders depth first, each folder once. One cursor
// follows the walk, so a folder that must be asked is asked by its name in
// the folder above it, however deep it lies.
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
        m_top = std::make_unique<RememberedFolder>();
    m_top->listedId = rootStatus.id;
    m_fresh.set(*m_top, rootStatus);

    // Each folder once. A folder has one parent, so only a link or a mount
    // can bring the walk to a folder twice; a catalogue rarely has either.
    const bool oncePerId = mayMeetAFolderTwice();
    std::unordered_set<EntryId, EntryIdHash> discovered;
    if (oncePerId)
        discovered.insert(rootStatus.id);
    std::vector<RememberedFolder *> pending{m_top.get()};
    std::vector<RememberedFolder *> found;
    FollowingCursor cursor(m_fs.cursor(m_root), *m_top);
    while (!pending.empty()) {
        RememberedFolder *folder = pending.back();
        pending.pop_back();
        if (!bringUpToDate(*folder, cursor) && strict) {
            // Its parent's listing no longer holds: read the parent again.
            folder->parent->dirty = true;
            m_mustWalk = true;
            return false;
        }
        if (!oncePerId && mayMeetAFolderTwice())
            return tryWalk(rootStatus, strict); // a folder just read brought a link: again, with the ids
        takeFiles(*folder);
        found.clear();
        for (const std::unique_ptr<RememberedFolder> &sub : folder->subfolders) {
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
bool RememberedTree::bringUpToDate(RememberedFolder &folder, FollowingCursor &cursor) {
    std::optional<EntryStatus> current = m_fresh.take(folder);
    if (folder.named && !folder.named->pending.isEmpty())
        applyNamedChanges(folder, cursor, current);
    if (!ListingCheck::vouchedByItsWatch(folder, current)) {
        FolderCursor &here = cursor.at(folder);
        if (!m_check.holds(folder, here, current, m_fresh))
            reread(folder, here, current);
    }
    if (!ListingCheck::vouchedUntilItsWatchTells(folder))
        m_mustWalk = true; // it must be asked again next time
    return !folder.parent ||
           (folder.status.kind == EntryStatus::Kind::Folder && folder.status.id == folder.listedId);
}

// Only into a listing its watch vouches for but for the names it told;
// otherwise, or when the names cannot tell, the folder is read whole. A
// scratch file the news names is being written this moment, maybe not yet
// locked: the clean-up takes leftovers from whole readings only.
void RememberedTree::applyNamedChanges(RememberedFolder &folder, FollowingCursor &cursor,
                                       const std::optional<EntryStatus> &current) {
    folder.dirty = folder.dirty || !ListingCheck::vouchedByItsWatch(folder, current);
    NamedChanges::Outcome outcome;
    if (!folder.dirty)
        outcome = m_named.apply(folder, cursor.at(folder), m_recount, m_fresh);
    folder.named->pending.clear();
    if (!outcome.applied) {
        folder.dirty = true;
        return;
    }
    for (const std::unique_ptr<RememberedFolder> &gone : outcome.gone)
        forget(*gone);
}

// A watch begins before the reading, so no change falls between the two; a
// watch found on another folder than the one read is given up.
void RememberedTree::reread(RememberedFolder &folder, FolderCursor &cursor,
                            std::optional<EntryStatus> before) {
    const FileNames files = m_keep == Keep::ItemTexts ? FileNames::Listed : FileNames::Counted;
    // Subfolders are not asked when their parent is read: each gives its own
    // status when it is read itself, and a known one is vouched for, so a new
    // journal costs one status, not one per journal.
    const Subfolders subfolders = Subfolders::InodesOnly;
    FolderRead read;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (const std::optional<EntryStatus> watched = m_watches.watchBeforeReading(folder, cursor))
            before = watched;
        read = cursor.read(before.value_or(EntryStatus{}), files, subfolders);
        if (!m_watches.dropIfOnAnother(folder, read.status.id))
            break;
        before.reset();
    }
    install(folder, cursor, read);
    m_watches.afterReading(folder);
}

void RememberedTree::install(RememberedFolder &folder, FolderCursor &cursor, FolderRead &read) {
    folder.read = true;
    folder.opened = read.opened;
    folder.denied = read.denied;
    folder.status = read.status;
    const bool mountedOn =
        folder.parent && read.status.kind == EntryStatus::Kind::Folder && read.status.id != folder.listedId;
    m_mountedOn += int(mountedOn) - int(folder.mountedOn);
    folder.mountedOn = mountedOn;
    folder.dirty = false;
    folder.verify = false;
    folder.trusted = m_check.settled(read.status, m_startNs);
    folder.readIn = m_recount;
    folder.named.reset();
    folder.systemEntries = read.systemEntries > 0;
    folder.items.clear();
    folder.fileNames.clear();
    folder.links.reset();
    folder.fileCount = read.unlistedFiles;
    for (DirEntry &entry : read.entries) {
        if (entry.kind != DirEntry::Kind::File)
            continue;
        ++folder.fileCount;
        if (entry.link)
            linksOf(folder).toFiles.append(entry.name);
        if (m_keep == Keep::ItemTexts) {
            folder.fileNames.append(entry.name);
            dropLastFourCharacters(entry.name);
            folder.items.append(std::move(entry.name));
        }
    }
    if (!read.idleLinks.isEmpty())
        linksOf(folder).toNothing = std::move(read.idleLinks);
    noteScratchFiles(folder, read.scratchFiles);
    SubfolderPairing::Outcome paired = m_pairing.pair(folder, cursor, read.entries, m_fresh);
    m_links += paired.newLinks;
    for (const std::unique_ptr<RememberedFolder> &gone : paired.gone)
        forget(*gone);
    folder.hasLinks = folder.links != nullptr;
    for (const std::unique_ptr<RememberedFolder> &sub : folder.subfolders)
        folder.hasLinks = folder.hasLinks || sub->isLink;
}

// Left for the clean-up, unless reached through a link: those lie elsewhere.
void RememberedTree::noteScratchFiles(const RememberedFolder &folder, const QStringList &names) {
    if (names.isEmpty() || folder.belowLink || folder.isLink)
        return;
    const QString path = pathOf(folder, m_root);
    for (const QString &name : names)
        m_scratchFiles << path + name;
}

void RememberedTree::takeFiles(const RememberedFolder &folder) {
    m_files.count += folder.fileCount;
    if (m_keep != Keep::ItemTexts || folder.items.isEmpty())
        return;
    if (m_files.items.isEmpty())
        m_files.items = folder.items; // shared: a one-folder tree copies no name
    else
        m_files.items.append(folder.items);
}

// The folder and all below it leave the tree.
void RememberedTree::forget(RememberedFolder &folder) {
    forEachFolder(folder, [this](RememberedFolder &gone) {
        m_watches.forget(gone);
        m_fresh.forget(gone);
        m_links -= gone.isLink ? 1 : 0;
        m_mountedOn -= gone.mountedOn ? 1 : 0;
    });
}

} // namespace varnotel
