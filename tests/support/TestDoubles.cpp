#include "support/TestDoubles.h"

#include <QWidget>

namespace varnotel::test {

Result RecordingStarter::start(const QString &program, const QStringList &arguments) {
    starts.append(QStringList{program} + arguments);
    return answer;
}

QWidget *FakePlayer::createView(QWidget *parent) { return new QWidget(parent); }

QString ScriptedPrompt::ask(QWidget *, const QString &prompt, const QString &title,
                            const QString &defaultText) {
    asked.append({prompt, title, defaultText});
    if (confirmDefault)
        return defaultText;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

void FaultyFileSystem::failOn(Op op, int skip, const QString &reason) { m_faults[op] = {skip, reason}; }

bool FaultyFileSystem::shouldFail(Op op, const QString &path) const {
    const int call = m_calls[op]++;
    if (!path.isEmpty() && stubborn.contains(path)) {
        m_reason = QStringLiteral("in use");
        return true;
    }
    const auto fault = m_faults.constFind(op);
    if (fault == m_faults.constEnd() || call != fault->skip)
        return false;
    m_reason = fault->reason;
    return true;
}

#define VARNOTEL_FAULT_OR(op, realCall) VARNOTEL_FAULT_AT_OR(op, QString(), realCall)
#define VARNOTEL_FAULT_AT_OR(op, path, realCall)                                                             \
    do {                                                                                                     \
        if (shouldFail(op, path))                                                                            \
            return Result::failure(m_reason);                                                                \
        return realCall;                                                                                     \
    } while (false)

Result FaultyFileSystem::createFolder(const QString &path) {
    VARNOTEL_FAULT_OR(Op::CreateFolder, m_real.createFolder(path));
}
Result FaultyFileSystem::createPrivateFolder(const QString &path) {
    VARNOTEL_FAULT_OR(Op::CreateFolder, m_real.createPrivateFolder(path));
}
Result FaultyFileSystem::removeFolder(const QString &path) {
    VARNOTEL_FAULT_AT_OR(Op::RemoveFolder, path, m_real.removeFolder(path));
}
Result FaultyFileSystem::removeFile(const QString &path) {
    VARNOTEL_FAULT_AT_OR(Op::RemoveFile, path, m_real.removeFile(path));
}
Result FaultyFileSystem::renameNoReplace(const QString &from, const QString &to) {
    VARNOTEL_FAULT_AT_OR(Op::Rename, from, m_real.renameNoReplace(from, to));
}
Result FaultyFileSystem::copyFile(const QString &from, const QString &to) {
    VARNOTEL_FAULT_OR(Op::Copy, m_real.copyFile(from, to));
}
Result FaultyFileSystem::writeFile(const QString &path, const QByteArray &bytes) {
    VARNOTEL_FAULT_OR(Op::Write, m_real.writeFile(path, bytes));
}
Result FaultyFileSystem::readFile(const QString &path, qint64 maxBytes, QByteArray &bytes,
                                  bool &truncated) const {
    VARNOTEL_FAULT_OR(Op::Read, m_real.readFile(path, maxBytes, bytes, truncated));
}

EntryStatus FaultyFileSystem::coarse(EntryStatus status) const {
    if (timestampGranularityNs > 0) {
        status.times.modifiedNs -= status.times.modifiedNs % timestampGranularityNs;
        status.times.changedNs -= status.times.changedNs % timestampGranularityNs;
    }
    return status;
}

EntryStatus FaultyFileSystem::status(const QString &path) const { return coarse(m_real.status(path)); }

FolderRead FaultyFileSystem::readFolder(const QString &path, const EntryStatus &before, FileNames files,
                                        Subfolders subfolders) const {
    FolderRead read = m_real.readFolder(path, before, files, subfolders);
    read.status = coarse(read.status);
    for (DirEntry &entry : read.entries)
        entry.folderTimes = coarse({EntryStatus::Kind::Folder, entry.folderId, entry.folderTimes}).times;
    return read;
}

namespace {

// The real watch, telling times as coarsely as its file system, and losing
// news when told to.
class FaultyFolderWatch final : public FolderWatch {
public:
    FaultyFolderWatch(const FaultyFileSystem &owner, std::unique_ptr<FolderWatch> real)
        : m_owner(owner), m_real(std::move(real)) {}
    std::optional<Watched> watch(const QString &path) override {
        std::optional<Watched> watched = m_real->watch(path);
        if (watched)
            watched->status = m_owner.coarse(watched->status);
        return watched;
    }
    void unwatch(int handle) override { m_real->unwatch(handle); }
    News takeNews() override {
        News news = m_real->takeNews();
        if (m_owner.takeLostWatchNews())
            return {{}, {}, true}; // an overflow may swallow the end of a watch too
        return news;
    }

private:
    const FaultyFileSystem &m_owner;
    std::unique_ptr<FolderWatch> m_real;
};

} // namespace

std::unique_ptr<FolderWatch> FaultyFileSystem::createFolderWatch() const {
    std::unique_ptr<FolderWatch> real = watchable ? m_real.createFolderWatch() : nullptr;
    if (!real)
        return nullptr;
    return std::make_unique<FaultyFolderWatch>(*this, std::move(real));
}

#undef VARNOTEL_FAULT_OR
#undef VARNOTEL_FAULT_AT_OR

} // namespace varnotel::test
