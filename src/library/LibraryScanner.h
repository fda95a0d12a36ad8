#pragma once

#include "library/RememberedTree.h"

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace varnotel {

class FileSystem;

// The two scanners that walk a whole library tree after every change. Each
// remembers what it read under each path it was given, so a recount reads
// again only the folders that changed, and lists what a full scan would.
class LibraryScanner {
public:
    explicit LibraryScanner(FileSystem &fs) : m_fs(fs) {}

    // The journal list: every file below the folder, as journal names.
    QStringList sosuofile1(const QString &myPath);
    // The counting list's count: every file below the folder. Its items are
    // never read, so only their number is kept.
    qint64 sosuofile2(const QString &myPath);

    // Puts watches on folders read without one, until the deadline. False
    // when none is left.
    bool watchMore(const QDeadlineTimer &deadline);

    // The folders the last recounts found but could not read.
    QStringList unreadableFolders() const;
    // The scratch files the last recounts came upon.
    QStringList takeScratchFiles();
    // What to wait on for changes to the trees read so far: one descriptor
    // per tree, -1 for a tree whose changes only asking finds.
    QList<int> newsDescriptors() const;
    // Whether some folder read so far must be asked for its changes.
    bool mustAsk() const;

private:
    RememberedTree &tree(const QString &myPath, RememberedTree::Keep keep);

    struct Remembered {
        QString path;
        RememberedTree::Keep keep;
        std::unique_ptr<RememberedTree> tree;
    };

    FileSystem &m_fs;
    std::vector<Remembered> m_trees;
};

} // namespace varnotel
