#pragma once

#include "platform/FolderCursor.h"

#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

namespace varnotel::posix {

// The folder cursor through openat(2): each folder is opened relative to the
// one above it. The folder held, the one above it and the top stay open;
// going further up opens "..", which must be the very folder the cursor came
// down from: a folder entered through a link has another one above it, so the
// folder the link was met in stays open too; and a folder moved meanwhile has
// another one too, so the cursor then opens its way down again from the top.
class PosixFolderCursor final : public FolderCursor {
public:
    // trueEntryInodes: per device, whether its folder entries name the inode
    // the folder's own status gives; shared by the cursors of a file system.
    PosixFolderCursor(const QString &root, std::unordered_map<quint64, bool> &trueEntryInodes);
    ~PosixFolderCursor() override;
    PosixFolderCursor(const PosixFolderCursor &) = delete;
    PosixFolderCursor &operator=(const PosixFolderCursor &) = delete;

    void enter(const QString &name) override;
    void leave() override;
    EntryStatus status() override;
    EntryStatus status(const QString &name) override;
    FolderRead read(const EntryStatus &before, FileNames files, Subfolders subfolders) override;
    FolderRead readNamed(const QStringList &names, Subfolders subfolders) override;
    QString here() override;

private:
    struct Level {
        QString name; // as the folder above lists it; the root's path at the top
        int fd = -1;
        std::optional<EntryId> id; // which folder it is: known before it is closed
        bool throughLink = false;
    };

    qsizetype depth() const { return qsizetype(m_levels.size()) - 1; }
    bool reach(qsizetype level);
    bool openTop();
    bool openBelow();
    void backUp();
    bool entriesNameTrueInodes(int fd, quint64 device);

    std::vector<Level> m_levels; // the root, then each name entered
    qsizetype m_held = -1;       // the deepest level open: every level above it was opened on the way
    int m_failure = 0;           // why the level below it could not be opened
    std::unordered_map<quint64, bool> &m_trueEntryInodes;
};

} // namespace varnotel::posix
