#include "library/FolderScanner.h"

#include "library/FolderAncestry.h"
#include "platform/FolderCursor.h"

#include <set>
#include <utility>
#include <vector>

namespace varnotel {

qsizetype lengthWithoutLastFour(const QString &fileName) {
    // Counts characters, not UTF-16 units, so a name is never cut inside one.
    qsizetype end = fileName.size();
    for (int dropped = 0; dropped < 4; ++dropped) {
        if (end == 0)
            return 0;
        --end;
        if (end > 0 && fileName.at(end).isLowSurrogate() && fileName.at(end - 1).isHighSurrogate())
            --end;
    }
    return end;
}

QString withoutLastFourCharacters(const QString &fileName) {
    return fileName.left(lengthWithoutLastFour(fileName));
}

void dropLastFourCharacters(QString &fileName) { fileName.truncate(lengthWithoutLastFour(fileName)); }

namespace {

// A folder being listed: the subfolders it leads to, and where its path ends.
struct Listed {
    QStringList subfolders;
    qsizetype next = 0;
    qsizetype pathLength = 0;
};

// Calls visit(folder, name) for every file below myPath, folder ending in the
// separator: a folder's own files in name order, then its subfolders, depth
// first. A cursor follows the walk, and the folder's path grows and shrinks
// with it, so a tree as deep as the disk allows costs no more than a wide one.
template <typename Visit> void forEachFile(const FileSystem &fs, QString myPath, Visit visit) {
    if (!myPath.endsWith(QLatin1Char('/')))
        myPath += QLatin1Char('/');
    const std::optional<EntryId> rootId = fs.folderId(myPath);
    if (!rootId)
        return;

    auto key = [](const EntryId &id) { return std::make_pair(id.device, id.inode); };
    std::set<std::pair<quint64, quint64>> visited{key(*rootId)};
    const QList<EntryId> above = folderAndItsAncestors(fs, myPath);
    const std::unique_ptr<FolderCursor> cursor = fs.cursor(myPath);
    QString folder = myPath;
    std::vector<Listed> listed;
    const auto listHere = [&] {
        Listed here{{}, 0, folder.size()};
        for (const DirEntry &entry : cursor->read({}, FileNames::Listed, Subfolders::Stated).entries) {
            if (entry.kind == DirEntry::Kind::Folder) {
                if (entry.link && above.contains(entry.folderId))
                    continue; // a link to a folder that holds this whole tree
                if (visited.insert(key(entry.folderId)).second)
                    here.subfolders.append(entry.name);
            } else {
                visit(folder, entry.name);
            }
        }
        listed.push_back(std::move(here));
    };
    listHere();
    while (!listed.empty()) {
        Listed &last = listed.back();
        if (last.next == last.subfolders.size()) {
            listed.pop_back();
            if (!listed.empty()) {
                cursor->leave();
                folder.truncate(listed.back().pathLength);
            }
            continue;
        }
        const QString &name = last.subfolders.at(last.next++);
        cursor->enter(name);
        folder += name + QLatin1Char('/');
        listHere();
    }
}

} // namespace

void scanFolder(const FileSystem &fs, QString myPath, ItemText itemText, QStringList &list) {
    forEachFile(fs, std::move(myPath), [&](const QString &, const QString &name) {
        list.append(itemText == ItemText::WholeName ? name : withoutLastFourCharacters(name));
    });
}

void sosuofile3(const FileSystem &fs, const QString &myPath, ArticleList &list3) {
    forEachFile(fs, myPath, [&](const QString &folder, const QString &name) {
        list3.names.append(name);
        list3.paths.append(folder + name);
    });
}

} // namespace varnotel
