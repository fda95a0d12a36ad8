#include "support/TestDoubles.h"

#include "platform/FolderCursor.h"

#include <QRegularExpression>
#include <QThread>

#include <unistd.h>

namespace varnotel::test {

namespace {

// Chinese, then at least two English words.
bool isBilingual(const QString &message) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"));
    static const QRegularExpression english(QStringLiteral("[A-Za-z]{2,} [A-Za-z]{2,}"));
    return message.contains(chinese) && message.contains(english);
}

} // namespace

void RecordingErrorReport::report(QWidget *, const Failures &failures) {
    if (failures.isEmpty())
        qFatal("an empty report");
    for (const Failure &failure : failures) {
        if (!isBilingual(failure.message))
            qFatal("a message that is not bilingual: %s", qPrintable(failure.message));
    }
    if (whileTelling)
        std::exchange(whileTelling, {})();
    reports << failures;
}

Kinds RecordingErrorReport::kinds() const {
    Kinds result;
    for (const Failures &failures : reports) {
        QList<FailureKind> kinds;
        for (const Failure &failure : failures)
            kinds << failure.kind;
        result << kinds;
    }
    return result;
}

QStringList RecordingErrorReport::texts() const {
    QStringList result;
    for (const Failures &failures : reports) {
        QStringList paragraphs;
        for (const Failure &failure : failures)
            paragraphs << failure.message;
        result << paragraphs.join(u"\n\n");
    }
    return result;
}

void FaultyFileSystem::dieIfDying() const {
    if (m_dying)
        ::_exit(kCrashed);
}

bool FaultyFileSystem::shouldFail(Op op, const QString &path) const {
    const int call = m_calls[op]++;
    if (m_allCalls == m_crashCall) {
        m_dying = true;
        if (op != Op::Copy && op != Op::Write)
            dieIfDying();
    }
    m_reason = QStringLiteral("injected failure");
    if (m_allCalls++ == m_failCall)
        return true;
    if (const auto resisting = m_resisting.find(path);
        !path.isEmpty() && resisting != m_resisting.end() && *resisting != 0) {
        if (*resisting > 0)
            --*resisting;
        m_reason = QStringLiteral("in use");
        return true;
    }
    return m_faults.value(op, -1) == call;
}

Result FaultyFileSystem::copyFile(const QString &from, const QString &to, const CopyProgress &progress) {
    const auto slowed = [this, pieceMs = copyPieceMs, &progress](qint64 copied, qint64 total) {
        dieIfDying();
        QThread::msleep(static_cast<unsigned long>(pieceMs));
        return !progress || progress(copied, total);
    };
    return unlessFailing(Op::Copy, {}, [&] { return m_real.copyFile(from, to, slowed); });
}

EntryStatus FaultyFileSystem::coarse(EntryStatus status) const {
    if (timestampGranularityNs > 0) {
        status.times.modifiedNs -= status.times.modifiedNs % timestampGranularityNs;
        status.times.changedNs -= status.times.changedNs % timestampGranularityNs;
    }
    return status;
}

void FaultyFileSystem::beforeReading(const QString &folder) const {
    if (m_readsBeforeChange >= 0 && m_readsBeforeChange-- == 0)
        std::exchange(m_changeWhileReading, nullptr)(folder);
}

namespace {

// The real cursor, which also keeps the path it stands at (tests use small
// trees): denied folders read as denied, times are as coarse as its file
// system's, and someone else may change the disk as it reads.
class FaultyCursor final : public FolderCursor {
public:
    FaultyCursor(const FaultyFileSystem &owner, std::unique_ptr<FolderCursor> real, const QString &root)
        : m_owner(owner), m_real(std::move(real)), m_path(root.endsWith(u'/') ? root : root + u'/') {}
    void enter(const QString &name) override {
        m_real->enter(name);
        m_ends.push_back(m_path.size());
        m_path += name + u'/';
    }
    void leave() override {
        m_real->leave();
        if (!m_ends.empty()) {
            m_path.truncate(m_ends.back());
            m_ends.pop_back();
        }
    }
    EntryStatus status() override { return m_owner.coarse(m_real->status()); }
    EntryStatus status(const QString &name) override { return m_owner.coarse(m_real->status(name)); }
    FolderRead read(const EntryStatus &before, FileNames files, Subfolders subfolders) override {
        m_owner.beforeReading(m_path);
        if (m_owner.denies(m_path))
            return {.denied = true, .status = status(), .entries = {}, .idleLinks = {}, .scratchFiles = {}};
        FolderRead read = m_real->read(before, files, subfolders);
        read.status = m_owner.coarse(read.status);
        for (DirEntry &entry : read.entries)
            entry.folderTimes =
                m_owner.coarse({EntryStatus::Kind::Folder, entry.folderId, entry.folderTimes}).times;
        return read;
    }
    FolderRead readNamed(const QStringList &names, Subfolders subfolders) override {
        m_owner.beforeReading(m_path);
        if (m_owner.denies(m_path))
            return {};
        FolderRead read = m_real->readNamed(names, subfolders);
        read.status = m_owner.coarse(read.status);
        return read;
    }
    QString here() override { return m_real->here(); }

private:
    const FaultyFileSystem &m_owner;
    std::unique_ptr<FolderCursor> m_real;
    QString m_path;
    std::vector<qsizetype> m_ends;
};

} // namespace

std::unique_ptr<FolderCursor> FaultyFileSystem::cursor(const QString &root) const {
    return std::make_unique<FaultyCursor>(*this, m_real.cursor(root), root);
}

namespace {

// The real watch, telling times as coarsely as its file system, and losing
// news when told to.
class FaultyFolderWatch final : public FolderWatch {
public:
    FaultyFolderWatch(const FaultyFileSystem &owner, std::unique_ptr<FolderWatch> real)
        : m_owner(owner), m_real(std::move(real)) {}
    std::optional<Watched> watch(FolderCursor &cursor) override {
        std::optional<Watched> watched = m_real->watch(cursor);
        if (watched)
            watched->status = m_owner.coarse(watched->status);
        return watched;
    }
    void unwatch(int handle) override { m_real->unwatch(handle); }
    int newsDescriptor() const override { return m_real->newsDescriptor(); }
    News takeNews() override {
        News news = m_real->takeNews();
        // An overflow may swallow the end of a watch too.
        if (m_owner.takeLostWatchNews())
            news = {.changed = {}, .ended = {}, .lostTrack = true, .named = {}};
        return news;
    }

private:
    const FaultyFileSystem &m_owner;
    std::unique_ptr<FolderWatch> m_real;
};

} // namespace

std::unique_ptr<FolderWatch> FaultyFileSystem::createFolderWatch() const {
    std::unique_ptr<FolderWatch> real = watchable ? m_real.createFolderWatch() : nullptr;
    return real ? std::make_unique<FaultyFolderWatch>(*this, std::move(real)) : nullptr;
}

} // namespace varnotel::test
