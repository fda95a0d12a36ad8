#include "support/TestDoubles.h"

#include <QThread>

namespace varnotel::test {

void FakePlayer::setUrl(const QString &url) {
    m_url = url;
    ++urlSets;
    if (kStoredPlayerSettings.autoStart)
        play();
}

void FakePlayer::play() {
    ++plays;
    if (unplayable)
        return;
    if (state == PlayState::Stopped)
        setPosition(0);
    enter(PlayState::Playing);
}

void FakePlayer::stop() {
    enter(PlayState::Stopped);
    setPosition(0);
}

void FakePlayer::reachEnd() {
    setPosition(m_duration);
    enter(PlayState::Stopped);
    emit endOfMedia();
}

void FakePlayer::failToPlay(const QString &reason) {
    unplayable = true;
    enter(PlayState::Stopped);
    emit cannotPlay(reason);
}

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
    if (m_allCalls++ == m_failCall) {
        m_reason = QStringLiteral("injected failure");
        return true;
    }
    if (const auto resisting = m_resisting.find(path);
        !path.isEmpty() && resisting != m_resisting.end() && *resisting != 0) {
        if (*resisting > 0)
            --*resisting;
        m_reason = QStringLiteral("in use");
        return true;
    }
    const auto fault = m_faults.constFind(op);
    if (fault == m_faults.constEnd() || call != fault->skip)
        return false;
    m_reason = fault->reason;
    return true;
}

Result FaultyFileSystem::createFolder(const QString &path) {
    return shouldFail(Op::CreateFolder) ? Result::failure(m_reason) : m_real.createFolder(path);
}
Result FaultyFileSystem::createPrivateFolder(const QString &path) {
    return shouldFail(Op::CreateFolder) ? Result::failure(m_reason) : m_real.createPrivateFolder(path);
}
Result FaultyFileSystem::removeFolder(const QString &path) {
    return shouldFail(Op::RemoveFolder, path) ? Result::failure(m_reason) : m_real.removeFolder(path);
}
Result FaultyFileSystem::removeFile(const QString &path) {
    return shouldFail(Op::RemoveFile, path) ? Result::failure(m_reason) : m_real.removeFile(path);
}
Result FaultyFileSystem::renameNoReplace(const QString &from, const QString &to) {
    return shouldFail(Op::Rename, from) ? Result::failure(m_reason) : m_real.renameNoReplace(from, to);
}
Result FaultyFileSystem::copyFile(const QString &from, const QString &to, const CopyProgress &progress) {
    const int pieceMs = copyPieceMs;
    auto slowed = [pieceMs, &progress](qint64 copied, qint64 total) {
        QThread::msleep(static_cast<unsigned long>(pieceMs));
        return !progress || progress(copied, total);
    };
    return shouldFail(Op::Copy) ? Result::failure(m_reason) : m_real.copyFile(from, to, slowed);
}
Result FaultyFileSystem::replaceFile(const QString &from, const QString &to) {
    return shouldFail(Op::Replace, from) ? Result::failure(m_reason) : m_real.replaceFile(from, to);
}
Result FaultyFileSystem::writeFile(const QString &path, const QByteArray &bytes) {
    return shouldFail(Op::Write) ? Result::failure(m_reason) : m_real.writeFile(path, bytes);
}
Result FaultyFileSystem::readFile(const QString &path, qint64 maxBytes, QByteArray &bytes,
                                  bool &truncated) const {
    return shouldFail(Op::Read) ? Result::failure(m_reason)
                                : m_real.readFile(path, maxBytes, bytes, truncated);
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
    if (denies(path)) {
        FolderRead denied;
        denied.denied = true;
        denied.status = m_real.status(path);
        return denied;
    }
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

} // namespace varnotel::test
