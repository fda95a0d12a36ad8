#include "library/LibraryScanner.h"

#include <algorithm>

namespace varnotel {

QStringList LibraryScanner::sosuofile1(const QString &myPath) {
    return tree(myPath, RememberedTree::Keep::ItemTexts).recount().items;
}

qint64 LibraryScanner::sosuofile2(const QString &myPath) {
    return tree(myPath, RememberedTree::Keep::Count).recount().count;
}

bool LibraryScanner::watchMore(const QDeadlineTimer &deadline) {
    bool more = false;
    for (const Remembered &remembered : m_trees)
        more = remembered.tree->watchMore(deadline) || more;
    return more;
}

QStringList LibraryScanner::unreadableFolders() const {
    QStringList denied;
    for (const Remembered &remembered : m_trees)
        denied += remembered.tree->unreadableFolders();
    return denied;
}

QStringList LibraryScanner::takeScratchFiles() {
    QStringList found;
    for (const Remembered &remembered : m_trees)
        found += remembered.tree->takeScratchFiles();
    return found;
}

QList<int> LibraryScanner::newsDescriptors() const {
    QList<int> descriptors;
    for (const Remembered &remembered : m_trees)
        descriptors << remembered.tree->newsDescriptor();
    return descriptors;
}

bool LibraryScanner::mustAsk() const {
    return std::any_of(m_trees.cbegin(), m_trees.cend(),
                       [](const Remembered &remembered) { return remembered.tree->mustAsk(); });
}

RememberedTree &LibraryScanner::tree(const QString &myPath, RememberedTree::Keep keep) {
    for (const Remembered &remembered : m_trees) {
        if (remembered.path == myPath && remembered.keep == keep)
            return *remembered.tree;
    }
    m_trees.push_back({myPath, keep, std::make_unique<RememberedTree>(m_fs, myPath, keep)});
    return *m_trees.back().tree;
}

} // namespace varnotel
