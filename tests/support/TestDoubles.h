#pragma once

#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/FolderWatch.h"
#include "platform/InputPrompt.h"
#include "platform/MediaPlayer.h"
#include "platform/Platform.h"
#include "platform/PosixFileSystem.h"
#include "platform/ProgramStarter.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>
#include <utility>

namespace varnotel::test {

// Records every start: the program and its arguments.
class RecordingStarter final : public ProgramStarter {
public:
    Result start(const QString &program, const QStringList &arguments) override {
        starts.append(QStringList{program} + arguments);
        return answer;
    }
    QList<QStringList> starts; // program first, then the arguments
    Result answer;
};

// A player that plays nothing but keeps its state as the real one does: it
// starts on its own when given a file, and tests make the media end or fail.
class FakePlayer final : public MediaPlayer {
    Q_OBJECT
public:
    void setUrl(const QString &url) override {
        m_url = url;
        if (kInitialPlayerSettings.autoStart)
            play();
    }
    QString url() const override { return m_url; }
    PlayState playState() const override { return state; }
    void play() override {
        ++plays;
        if (unplayable)
            return;
        if (state == PlayState::Stopped)
            setPosition(0);
        enter(PlayState::Playing);
    }
    void pause() override {
        if (!unplayable)
            enter(PlayState::Paused);
    }
    void stop() override {
        enter(PlayState::Stopped);
        setPosition(0);
    }
    qint64 position() const override { return m_position; }
    void setPosition(qint64 position) override { emit positionChanged(m_position = position); }
    qint64 duration() const override { return m_duration; }
    int volume() const override { return m_volume; }
    void setVolume(int volume) override { emit volumeChanged(m_volume = volume); }
    bool isMuted() const override { return m_muted; }
    void setMuted(bool muted) override { emit mutedChanged(m_muted = muted); }

    // The media, duration long, has played to its end.
    void reachEnd() {
        setPosition(m_duration);
        enter(PlayState::Stopped);
        emit endOfMedia();
    }
    // There turned out to be nothing to hear, for the reason given.
    void failToPlay(Silence why, const QString &detail = QStringLiteral("细节 details")) {
        unplayable = true;
        enter(PlayState::Stopped);
        emit cannotPlay(why, detail);
    }
    void setDuration(qint64 duration) { emit durationChanged(m_duration = duration); }

    PlayState state = PlayState::Stopped;
    int plays = 0; // calls of play(), a restart among them
    bool unplayable = false;

private:
    void enter(PlayState next) {
        state = next;
        emit playStateChanged();
    }

    QString m_url;
    qint64 m_position = 0;
    qint64 m_duration = 0;
    int m_volume = kInitialPlayerSettings.volume;
    bool m_muted = kInitialPlayerSettings.mute;
};

// Answers prompts from a script; an exhausted script cancels.
class ScriptedPrompt final : public InputPrompt {
public:
    QString ask(QWidget *, const QString &, const QString &, const QString &defaultText) override {
        asked << defaultText;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    QStringList asked; // the default text of each prompt
};

class FixedClock final : public Clock {
public:
    QDateTime now() const override { return moment; }
    QString weekdayName(const QDate &) const override { return weekday; }
    QDateTime moment;
    QString weekday;
};

// The kinds of the failures of each report, in order: what a test checks.
using Kinds = QList<QList<FailureKind>>;

// Records every report: the failures of one action, told together.
class RecordingErrorReport final : public ErrorReport {
public:
    // Every text of the program is bilingual: a report that is not stops the test.
    void report(QWidget *, const Failures &failures) override;
    Kinds kinds() const;
    // Everything the reports told, one text a report, as the person reads them.
    QStringList texts() const;
    QList<Failures> reports;
    // What happens while the message is shown (it is modal): the window
    // system delivering the same click or drop once more.
    std::function<void()> whileTelling;
};

// The real file system, with failures injected into chosen operations, and
// paths that resist being removed, trashed or renamed away (a file in use;
// tests run as root, so permissions cannot stand in for that).
class FaultyFileSystem final : public FileSystem {
public:
    enum class Op { CreateFolder, RemoveFolder, RemoveFile, Rename, Copy, Write, Read, Replace };
    static constexpr int kForever = -1;

    // Each piece of a copy takes this long, as on a slow stick.
    int copyPieceMs = 0;
    // A folder that stands for another disk (a USB stick): entries at or below
    // it tell the trash another device.
    QString otherDevice;
    // Folders that are there but cannot be read (tests run as root, whom
    // permissions do not stop).
    QStringList deniedFolders;

    // A file system with coarse timestamps: folder times are cut down to this
    // granularity (0 keeps them), and it reports this slack (0: the real one).
    qint64 timestampGranularityNs = 0;
    qint64 slackNs = 0;
    // Without watches every folder must be asked for its status.
    bool watchable = true;
    // The watches' next news is lost, as when their queue overflows.
    void loseWatchNews() { m_loseWatchNews = true; }
    bool takeLostWatchNews() const { return std::exchange(m_loseWatchNews, false); }
    EntryStatus coarse(EntryStatus status) const;
    // Someone else changes the disk while the program reads it: the change is
    // made just before the nth folder reading from now (0: the next one), and
    // told the path of the folder about to be read.
    void changeWhileReading(int n, std::function<void(const QString &folder)> change) {
        m_readsBeforeChange = n;
        m_changeWhileReading = std::move(change);
    }
    void beforeReading(const QString &folder) const;
    bool denies(QString folder) const {
        while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
            folder.chop(1);
        return deniedFolders.contains(folder);
    }

    // The call of op after `skip` successful ones fails.
    void failOn(Op op, int skip = 0) { m_faults[op] = skip; }
    // Removing or renaming the path fails the next `times` times ("in use").
    void resist(const QString &path, int times = kForever) { m_resisting[path] = times; }
    int calls(Op op) const { return m_calls.value(op); }
    // Counting every call that can fail, of any operation: the nth from now
    // fails (0 is the next one); -1 fails none.
    void failCall(int n) { m_failCall = n < 0 ? -1 : m_allCalls + n; }
    int allCalls() const { return m_allCalls; }
    // The nth call from now (0 is the next one) is the process's last, as at
    // a power cut: it dies in a copy after the first piece is written, in a
    // write after the bytes are written, and before any other call acts. It
    // ends with this exit status.
    static constexpr int kCrashed = 77;
    void crashAtCall(int n) { m_crashCall = m_allCalls + n; }

    bool fileExists(const QString &path) const override { return m_real.fileExists(path); }
    bool folderExists(const QString &path) const override { return m_real.folderExists(path); }
    bool entryExists(const QString &path) const override { return m_real.entryExists(path); }
    bool isSymLink(const QString &path) const override { return m_real.isSymLink(path); }
    QList<DirEntry> entries(const QString &folder) const override {
        return denies(folder) ? QList<DirEntry>() : m_real.entries(folder);
    }
    std::optional<EntryId> folderId(const QString &path) const override {
        return onDevice(path, m_real.folderId(path));
    }
    std::optional<EntryId> entryId(const QString &path) const override {
        return onDevice(path, m_real.entryId(path));
    }
    FolderTrust folderTrust(const QString &path) const override { return m_real.folderTrust(path); }
    EntryStatus status(const QString &path) const override { return coarse(m_real.status(path)); }
    std::unique_ptr<FolderCursor> cursor(const QString &root) const override;
    qint64 timestampSlackNs() const override { return slackNs > 0 ? slackNs : m_real.timestampSlackNs(); }
    std::unique_ptr<FolderWatch> createFolderWatch() const override;

    Result createFolder(const QString &path) override {
        return unlessFailing(Op::CreateFolder, {}, [&] { return m_real.createFolder(path); });
    }
    Result createPrivateFolder(const QString &path) override {
        return unlessFailing(Op::CreateFolder, {}, [&] { return m_real.createPrivateFolder(path); });
    }
    Result removeFolder(const QString &path) override {
        return unlessFailing(Op::RemoveFolder, path, [&] { return m_real.removeFolder(path); });
    }
    Result removeFile(const QString &path) override {
        return unlessFailing(Op::RemoveFile, path, [&] { return m_real.removeFile(path); });
    }
    Result renameNoReplace(const QString &from, const QString &to) override {
        return unlessFailing(Op::Rename, from, [&] { return m_real.renameNoReplace(from, to); });
    }
    Result copyFile(const QString &from, const QString &to, const CopyProgress &progress) override;
    Result replaceFile(const QString &from, const QString &to) override {
        return unlessFailing(Op::Replace, from, [&] { return m_real.replaceFile(from, to); });
    }
    Result writeFile(const QString &path, const QByteArray &bytes) override {
        const Result written = unlessFailing(Op::Write, {}, [&] { return m_real.writeFile(path, bytes); });
        dieIfDying();
        return written;
    }
    QStringList scratchFiles(const QString &folder) const override { return m_real.scratchFiles(folder); }
    Result removeScratchFile(const QString &path) override {
        return unlessFailing(Op::RemoveFile, path, [&] { return m_real.removeScratchFile(path); });
    }
    Result readFile(const QString &path, qint64 maxBytes, QByteArray &bytes, bool &truncated) const override {
        return unlessFailing(Op::Read, {}, [&] { return m_real.readFile(path, maxBytes, bytes, truncated); });
    }

private:
    bool shouldFail(Op op, const QString &path) const;
    void dieIfDying() const;
    template <typename RealCall> Result unlessFailing(Op op, const QString &path, RealCall real) const {
        return shouldFail(op, path) ? Result::failure(m_reason) : real();
    }
    std::optional<EntryId> onDevice(const QString &path, std::optional<EntryId> id) const {
        if (id && !otherDevice.isEmpty() && (path == otherDevice || path.startsWith(otherDevice + u'/')))
            id->device += 1'000'000;
        return id;
    }

    PosixFileSystem m_real;
    QMap<Op, int> m_faults; // the successful calls before the failing one
    mutable QMap<QString, int> m_resisting;
    mutable QMap<Op, int> m_calls;
    mutable int m_allCalls = 0;
    int m_failCall = -1;
    int m_crashCall = -1;
    mutable bool m_dying = false;
    mutable QString m_reason;
    mutable bool m_loseWatchNews = false;
    mutable int m_readsBeforeChange = -1;
    mutable std::function<void(const QString &)> m_changeWhileReading;
};

// One set of seams for a window under test: the real file system (with
// injectable failures) and recording doubles for everything else.
struct TestPlatform {
    FaultyFileSystem fs;
    RecordingStarter starter;
    FakePlayer player;
    ScriptedPrompt prompt;
    FixedClock clock;
    RecordingErrorReport errors;

    Platform platform() { return {fs, starter, player, prompt, clock, errors}; }
};

} // namespace varnotel::test
