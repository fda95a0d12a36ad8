#include "library/NamedChanges.h"

#include "library/FolderScanner.h"
#include "library/ListingOrder.h"
#include "platform/ScratchNames.h"

#include <QHash>

#include <algorithm>

namespace varnotel {

namespace {

// Up to this many names are asked one by one in any folder; more only where
// they are a small part of it.
constexpr qsizetype kFewNames = 32;
// Where only files are counted, how many names told by changes are kept
// before the folder is read whole again, which forgets them.
constexpr qsizetype kMostTold = 4096;

bool isLinkName(const RememberedFolder &folder, const QString &name) {
    return folder.links && (folder.links->toFiles.contains(name) || folder.links->toNothing.contains(name) ||
                            folder.links->toAbove.contains(name));
}

// Where the subfolder of that name is, or would be, in listing order.
template <typename Folder> auto subfolderPlace(Folder &folder, const QString &name) {
    return std::lower_bound(folder.subfolders.begin(), folder.subfolders.end(), name,
                            [](const std::unique_ptr<RememberedFolder> &sub, const QString &wanted) {
                                return listedBefore(sub->name, wanted);
                            });
}

const RememberedFolder *subfolderNamed(const RememberedFolder &folder, const QString &name) {
    const auto place = subfolderPlace(folder, name);
    return place != folder.subfolders.end() && (*place)->name == name ? place->get() : nullptr;
}

qsizetype filePlace(const RememberedFolder &folder, const QString &name) {
    return std::lower_bound(folder.fileNames.cbegin(), folder.fileNames.cend(), name, listedBefore) -
           folder.fileNames.cbegin();
}

} // namespace

NamedChanges::Was NamedChanges::wasListed(const RememberedFolder &folder, const QString &name,
                                          quint64 recount) const {
    if (isLinkName(folder, name))
        return Was::Unknown;
    if (const RememberedFolder *sub = subfolderNamed(folder, name))
        return sub->isLink ? Was::Unknown : Was::Folder;
    if (m_namesKept) {
        const qsizetype place = filePlace(folder, name);
        return place < folder.fileNames.size() && folder.fileNames.at(place) == name ? Was::File
                                                                                     : Was::Nothing;
    }
    if (const auto told = folder.named->counted.constFind(name); told != folder.named->counted.cend())
        return *told ? Was::File : Was::Nothing;
    // Only counted: the first change since the reading tells what the name
    // was, unless that change may have come before the reading, as news in
    // the recount right after it may.
    if (folder.readIn + 1 >= recount)
        return Was::Unknown;
    const NamedNews::First first = folder.named->pending.value(name);
    if (first.came || first.folder || isScratchName(QStringView(name)))
        return Was::Nothing; // a folder not listed as one was passed over (a disk's trash)
    return folder.systemEntries ? Was::Unknown : Was::File;
}

void NamedChanges::removeFile(RememberedFolder &folder, const QString &name) const {
    --folder.fileCount;
    if (!m_namesKept)
        return;
    const qsizetype place = filePlace(folder, name);
    folder.fileNames.removeAt(place);
    folder.items.removeAt(place);
}

void NamedChanges::addFile(RememberedFolder &folder, const QString &name) const {
    ++folder.fileCount;
    if (!m_namesKept)
        return;
    const qsizetype place = filePlace(folder, name);
    QString item = name;
    dropLastFourCharacters(item);
    folder.fileNames.insert(place, name);
    folder.items.insert(place, std::move(item));
}

NamedChanges::Outcome NamedChanges::apply(RememberedFolder &folder, FolderCursor &cursor, quint64 recount,
                                          FreshStatuses &fresh) const {
    Outcome outcome;
    NamedNews &news = *folder.named;
    const QStringList names = news.pending.keys();
    const qsizetype entries = qsizetype(folder.fileCount) + qsizetype(folder.subfolders.size());
    if ((names.size() > kFewNames && names.size() * 8 > entries) ||
        (!m_namesKept && news.counted.size() + names.size() > kMostTold))
        return outcome;
    QList<Was> was;
    for (const QString &name : names) {
        was << wasListed(folder, name, recount);
        if (was.last() == Was::Unknown)
            return outcome;
    }
    const FolderRead now = cursor.readNamed(names, Subfolders::InodesOnly);
    if (!now.opened || !now.idleLinks.isEmpty() ||
        std::any_of(now.entries.cbegin(), now.entries.cend(), [](const DirEntry &e) { return e.link; }))
        return outcome;

    folder.systemEntries = folder.systemEntries || now.systemEntries > 0;
    QHash<QString, const DirEntry *> isNow;
    for (const DirEntry &entry : now.entries)
        isNow.insert(entry.name, &entry);
    // What went first, so that a folder renamed within this one is found
    // again by its id, and keeps what is remembered of it.
    for (qsizetype i = 0; i < names.size(); ++i) {
        const DirEntry *entry = isNow.value(names.at(i));
        if (was.at(i) == Was::File && !(entry && entry->kind == DirEntry::Kind::File))
            removeFile(folder, names.at(i));
        if (was.at(i) != Was::Folder)
            continue;
        const auto place = subfolderPlace(folder, names.at(i));
        if (!entry || entry->kind != DirEntry::Kind::Folder || entry->folderId != (*place)->listedId) {
            outcome.gone.push_back(std::move(*place));
            folder.subfolders.erase(place);
        }
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        const DirEntry *entry = isNow.value(name);
        if (!m_namesKept)
            news.counted.insert(name, entry && entry->kind == DirEntry::Kind::File);
        if (!entry || (entry->kind == DirEntry::Kind::File && was.at(i) == Was::File))
            continue;
        if (entry->kind == DirEntry::Kind::File) {
            addFile(folder, name);
            continue;
        }
        const auto place = subfolderPlace(folder, name);
        if (place != folder.subfolders.end() && (*place)->name == name)
            continue; // the same folder as before
        const auto moved = std::find_if(outcome.gone.begin(), outcome.gone.end(), [&](const auto &sub) {
            return sub && sub->listedId == entry->folderId;
        });
        std::unique_ptr<RememberedFolder> sub =
            moved != outcome.gone.end() ? std::move(*moved) : newSubfolder(folder, entry->folderId, false);
        sub->name = name;
        if (entry->stated)
            fresh.set(*sub, EntryStatus{EntryStatus::Kind::Folder, entry->folderId, entry->folderTimes});
        folder.subfolders.insert(place, std::move(sub));
    }
    std::erase(outcome.gone, nullptr);
    outcome.applied = true;
    return outcome;
}

} // namespace varnotel
