#include "editing/RenameJournal.h"

#include "editing/JournalName.h"
#include "library/LibraryPaths.h"
#include "library/Messages.h"
#include "library/NewFile.h"
#include "platform/FileNames.h"

#include <utility>

namespace varnotel {

namespace {

struct Move {
    QString from;
    QString to;
};

struct Plan {
    QList<Move> moves;
    QString folderToCreate;
    QString takenTarget; // set when a target is in use: nothing may be renamed
};

bool occupied(const FileSystem &fs, const QString &path) {
    return fs.entryExists(path) || fs.isSymLink(path);
}

// A target that differs from its source in letter case only may be the source
// itself on a file system that ignores case; the no-replace rename tells.
bool targetTaken(const FileSystem &fs, const QString &from, const QString &to, bool fromThere) {
    if (!occupied(fs, to))
        return false;
    const bool caseOnly = from.compare(to, Qt::CaseInsensitive) == 0;
    return !caseOnly || !fromThere;
}

Plan planRename(const FileSystem &fs, const QString &appDir, const QString &oldName, const QString &newName) {
    Plan plan;
    for (Record record : kAllRecords) {
        const QString from = paths::recordFile(appDir, record, oldName);
        const QString to = paths::recordFile(appDir, record, newName);
        if (from == to)
            continue;
        const bool fromThere = fs.fileExists(from);
        if (targetTaken(fs, from, to, fromThere)) {
            plan.takenTarget = to;
            return plan;
        }
        if (fromThere)
            plan.moves.append({from, to});
    }
    const QString from = paths::exampleFolder(appDir, oldName);
    const QString to = paths::exampleFolder(appDir, newName);
    const bool fromThere = occupied(fs, from);
    if (from != to && targetTaken(fs, from, to, fromThere))
        plan.takenTarget = to;
    else if (!fromThere)
        plan.folderToCreate = to;
    else if (from != to)
        plan.moves.append({from, to});
    return plan;
}

QString undoMoves(FileSystem &fs, EditOutcome &outcome) {
    QString note = bilingual(QStringLiteral("之前的更改已全部撤销。"),
                             QStringLiteral("The changes made before were undone."));
    const QList<QPair<QString, QString>> done = std::exchange(outcome.renamed, {});
    for (auto it = done.crbegin(); it != done.crend(); ++it) {
        const auto &[from, to] = *it;
        const Result back = fs.renameNoReplace(to, from);
        if (!back) {
            outcome.renamed.prepend({from, to});
            outcome.failures << fileFailure(FailureKind::CannotUndo, QStringLiteral("无法改回原来的名称"),
                                            QStringLiteral("Cannot give back the old name:"),
                                            to + QStringLiteral(" -> ") + from, back);
            note.clear();
        }
    }
    return note;
}

void fail(FileSystem &fs, EditOutcome &outcome, const QString &what, const Result &result) {
    const qsizetype at = outcome.failures.size();
    const QString note = undoMoves(fs, outcome);
    Failure failed = fileFailure(FailureKind::CannotRename, QStringLiteral("重命名失败"),
                                 QStringLiteral("The rename failed:"), what, result);
    if (!note.isEmpty())
        failed.message += QStringLiteral("\n") + note;
    outcome.failures.insert(at, failed);
}

// A rename moves five entries one by one; a crash between two would leave
// the journal's records split between its two names. So the two names are
// written down first, in a file of the IF folder that no journal's record
// can be (it lacks ".txt") and no scan reads, and the next start finishes
// what the crash cut short.
QString intentPath(const QString &appDir) {
    return paths::recordFolder(appDir, Record::ImpactFactor) + QStringLiteral("/.varnotel-rename");
}

Result noteIntent(FileSystem &fs, const QString &appDir, const QString &oldName, const QString &newName) {
    return createNewFile(fs, intentPath(appDir), bytesFromName(oldName) + '\n' + bytesFromName(newName));
}

// Renames what is still under the old name; what is already under the new one
// stays. Used only where every target was found free before the first move.
void moveWhatRemains(FileSystem &fs, const QString &appDir, const QString &oldName, const QString &newName) {
    for (Record record : kAllRecords) {
        const QString from = paths::recordFile(appDir, record, oldName);
        if (fs.fileExists(from))
            fs.renameNoReplace(from, paths::recordFile(appDir, record, newName));
    }
    const QString from = paths::exampleFolder(appDir, oldName);
    if (fs.entryExists(from) || fs.isSymLink(from))
        fs.renameNoReplace(from, paths::exampleFolder(appDir, newName));
}

void applyPlan(FileSystem &fs, const Plan &plan, EditOutcome &outcome) {
    for (const Move &move : plan.moves) {
        const Result renamed = fs.renameNoReplace(move.from, move.to);
        if (!renamed) {
            fail(fs, outcome, move.from + QStringLiteral(" -> ") + move.to, renamed);
            return;
        }
        outcome.renamed.append({move.from, move.to});
    }
    if (!plan.folderToCreate.isEmpty()) {
        const Result made = fs.createFolder(plan.folderToCreate);
        if (!made) {
            fail(fs, outcome, plan.folderToCreate, made);
            return;
        }
        outcome.created << plan.folderToCreate;
    }
}

} // namespace

void finishUnfinishedRename(FileSystem &fs, const QString &appDir) {
    QByteArray bytes;
    bool truncated = false;
    if (!fs.fileExists(intentPath(appDir)) || !fs.readFile(intentPath(appDir), 4096, bytes, truncated))
        return;
    const QList<QByteArray> names = bytes.split('\n');
    if (names.size() == 2 && !truncated) {
        const QString oldName = nameFromBytes(names.first());
        const QString newName = nameFromBytes(names.last());
        if (staysInLibrary(oldName) && hasOwnExampleFolder(oldName) && !journalNameProblem(newName))
            moveWhatRemains(fs, appDir, oldName, newName);
    }
    fs.removeFile(intentPath(appDir));
}

std::optional<Failure> renameSourceProblem(bool selected, const QString &oldName) {
    if (!selected)
        return Failure{FailureKind::NothingSelected,
                       bilingual(QStringLiteral("请先在期刊列表中选择要重命名的期刊。"),
                                 QStringLiteral("Select the journal to rename in the journal list first."))};
    if (!hasOwnExampleFolder(oldName))
        return Failure{
            FailureKind::NoExampleFolder,
            bilingual(QStringLiteral("这一条目没有可用的期刊名称,不能重命名。"),
                      QStringLiteral("This entry has no usable journal name and cannot be renamed."))};
    return std::nullopt;
}

EditOutcome renameJournal(FileSystem &fs, const QString &appDir, const QString &oldName,
                          const QString &newName) {
    EditOutcome outcome;
    if (newName.isEmpty())
        return outcome;
    for (const std::optional<Failure> &problem :
         {renameSourceProblem(true, oldName), journalNameProblem(newName)}) {
        if (problem) {
            outcome.failures << *problem;
            return outcome;
        }
    }
    const Plan plan = planRename(fs, appDir, oldName, newName);
    if (!plan.takenTarget.isEmpty()) {
        outcome.failures << failureNaming(
            FailureKind::NameTaken, QStringLiteral("新名称已被占用,没有重命名任何文件:"),
            QStringLiteral("The new name is taken; nothing was renamed:"), plan.takenTarget);
        return outcome;
    }
    if (const Result noted = noteIntent(fs, appDir, oldName, newName); !noted) {
        fail(fs, outcome, intentPath(appDir), noted);
        return outcome;
    }
    applyPlan(fs, plan, outcome);
    if (const Result removed = fs.removeFile(intentPath(appDir)); !removed) {
        // The note must go, or the next start would redo what is undone; a
        // rename that cannot say it is done is undone, as any failed one.
        if (outcome.failures.isEmpty())
            fail(fs, outcome, intentPath(appDir), removed);
        fs.removeFile(intentPath(appDir));
    }
    return outcome;
}

} // namespace varnotel
