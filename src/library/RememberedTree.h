#pragma once

#include "platform/FileSystem.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace varnotel {

class FolderWatch;

// A folder tree as it was last read: every folder's listing together with
// what identifies the state it was read in (which folder it was, and when it
// last changed). A recount reads again only the folders whose state changed,
// yet lists exactly what scanFolder lists, in the same order.
//
// A folder's state is known without asking it while a watch reports its
// changes; otherwise it is asked for its status, and a status equal to the
// remembered one counts only when the folder had not changed for longer than
// the file system's timestamp slack before it was read: two changes within
// one tick of its clock leave the same times behind.
class RememberedTree {
public:
    // What is kept of the files: their item texts (the name less its last four
    // characters), or only how many there are.
    enum class Keep { ItemTexts, Count };

    struct Files {
        QStringList items;
        qint64 count = 0;
    };

    RememberedTree(FileSystem &fs, QString root, Keep keep);
    ~RememberedTree();
    RememberedTree(const RememberedTree &) = delete;
    RememberedTree &operator=(const RememberedTree &) = delete;

    // Every file below the root, now. The first recount reads every folder
    // without watching it, so that start-up takes no longer than a plain scan.
    const Files &recount();

    // Puts watches on the folders the first recount read without one, until
    // the deadline passes. False when none is left.
    bool watchMore(const QDeadlineTimer &deadline);

    // The folders the last recount found but could not read.
    QStringList unreadableFolders();

private:
    struct Node;
    struct Links;
    struct IdHash {
        size_t operator()(const EntryId &id) const noexcept {
            return std::hash<quint64>()(id.inode ^ (id.device << 40));
        }
    };

    bool tryWalk(const EntryStatus &rootStatus, bool strict);
    bool bringUpToDate(Node &node);
    bool vouchedByItsWatch(const Node &node, const std::optional<EntryStatus> &current) const;
    bool mayMeetAFolderTwice() const;
    void awaitWatch(Node &node);
    void stopAwaitingWatch(Node &node);
    bool listingHolds(Node &node, const QString &path, std::optional<EntryStatus> &current);
    bool linksHold(Node &node, const QString &path);
    void reread(Node &node, const QString &path, std::optional<EntryStatus> before);
    void install(Node &node, const QString &path, FolderRead &read);
    void adoptSubfolders(Node &node, const QString &path, const QList<DirEntry> &entries);
    struct Pending;
    void adoptById(Node &node, std::vector<std::unique_ptr<Node>> &old, const std::vector<Pending> &byId);
    void setFresh(Node &node, const std::optional<EntryStatus> &fresh);
    Links &linksOf(Node &node);
    bool vouchedFor(const Node &node) const;
    void takeFiles(const Node &node);
    void takeNews();
    bool wantsWatch(const Node &node) const;
    std::optional<EntryStatus> startWatch(Node &node, const QString &path);
    void dropWatch(Node &node);
    void forget(Node &node);
    QString pathOf(const Node &node) const;
    template <typename F> void forEachNode(F &&visit);

    FileSystem &m_fs;
    const QString m_root;
    const Keep m_keep;
    const qint64 m_slackNs;
    std::unique_ptr<FolderWatch> m_watch;
    std::unique_ptr<Node> m_top;
    std::unordered_map<int, Node *> m_byWatch;
    std::vector<Node *> m_awaitingWatch;
    // The statuses parents' readings and link checks gave during this recount.
    std::unordered_map<const Node *, EntryStatus> m_fresh;
    int m_links = 0;              // remembered folders reached through a link
    int m_mountedOn = 0;          // remembered folders with another folder mounted on them
    const QList<EntryId> m_above; // the root and every folder above it
    EntryStatus m_rootStatus;
    Files m_files;
    quint64 m_recounts = 0;
    qint64 m_startNs = 0;   // when the current recount began
    bool m_mustWalk = true; // false while the last result is known to hold
};

} // namespace varnotel
