#include "editing/DeleteJournal.h"

#include "library/DiscardFile.h"
#include "library/LibraryPaths.h"
#include "library/Messages.h"
#include "library/NewFile.h"

namespace varnotel {

namespace {

enum class Folder { Remove, Keep };

Failure cannotDelete(const QString &path, const Result &result) {
    return fileFailure(FailureKind::CannotDelete, QStringLiteral("无法删除文件"),
                       QStringLiteral("Cannot delete the file:"), path, result);
}

void noteDeleted(const QString &path, const Discarded &how, EditOutcome &outcome) {
    outcome.deleted << path;
    if (how.forGood)
        outcome.deletedForGood << path;
}

void deleteRecordFiles(FileSystem &fs, const QString &appDir, const QString &name, EditOutcome &outcome) {
    for (Record record : kAllRecords) {
        const QString path = paths::recordFile(appDir, record, name);
        if (!fs.fileExists(path))
            continue;
        const Discarded deleted = discardFile(fs, path);
        if (deleted)
            noteDeleted(path, deleted, outcome);
        else
            outcome.failures << cannotDelete(path, deleted.result);
    }
}

// A file that could not be deleted, and why.
struct Resisted {
    QString path;
    Result result;
};

// Subfolders and what lies in them stay: they are not the journal's own articles.
QList<Resisted> discardFilesIn(FileSystem &fs, const QString &folder, EditOutcome &outcome) {
    QList<Resisted> failures;
    for (const DirEntry &entry : fs.entries(folder)) {
        if (entry.kind != DirEntry::Kind::File)
            continue;
        const QString path = folder + QLatin1Char('/') + entry.name;
        const Discarded deleted = discardFile(fs, path);
        if (deleted)
            noteDeleted(path, deleted, outcome);
        else
            failures.append({path, deleted.result});
    }
    return failures;
}

void removeFolderIfEmpty(FileSystem &fs, const QString &folder, EditOutcome &outcome) {
    if (!fs.entries(folder).isEmpty()) {
        outcome.failures << failureNaming(
            FailureKind::SubfoldersKept, QStringLiteral("例文文件夹中还有子文件夹,已保留:"),
            QStringLiteral("The example folder still holds subfolders and was kept:"), folder);
        return;
    }
    removeLeftoversIn(fs, folder); // what a crashed import left would keep the folder
    const Result removed = fs.removeFolder(folder);
    if (removed)
        outcome.deleted << folder;
    else
        outcome.failures << fileFailure(FailureKind::CannotDelete, QStringLiteral("无法删除例文文件夹"),
                                        QStringLiteral("Cannot delete the example folder:"), folder, removed);
}

// A file that resists the first attempt gets a second one; only what resists
// both is reported, and then the folder stays.
void emptyExampleFolder(FileSystem &fs, const QString &appDir, const QString &name, Folder folderAfter,
                        EditOutcome &outcome) {
    if (!hasOwnExampleFolder(name))
        return;
    const QString folder = paths::exampleFolder(appDir, name);
    if (fs.isSymLink(folder)) {
        if (fs.folderExists(folder))
            outcome.failures << failureNaming(
                FailureKind::LinkedFolder, QStringLiteral("例文文件夹是一个链接,其中的文件没有删除:"),
                QStringLiteral("The example folder is a link; the files it leads "
                               "to were not deleted:"),
                folder);
        return;
    }
    if (!fs.folderExists(folder))
        return;
    if (discardFilesIn(fs, folder, outcome).isEmpty()) {
        if (folderAfter == Folder::Remove)
            removeFolderIfEmpty(fs, folder, outcome);
        return;
    }
    for (const Resisted &failure : discardFilesIn(fs, folder, outcome))
        outcome.failures << cannotDelete(failure.path, failure.result);
}

void tellDeletedForGood(EditOutcome &outcome) {
    if (const std::optional<Failure> note = deletedForGood(outcome.deletedForGood))
        outcome.failures << *note;
}

bool refusedName(const QString &name, EditOutcome &outcome) {
    if (staysInLibrary(name))
        return false;
    outcome.failures << failureNaming(
        FailureKind::NotAJournalName, QStringLiteral("这一名称不是期刊名称,没有删除任何文件:"),
        QStringLiteral("This is not a journal name; nothing was deleted:"), name);
    return true;
}

} // namespace

EditOutcome deleteJournal(FileSystem &fs, const QString &appDir, const QString &name) {
    EditOutcome outcome;
    if (refusedName(name, outcome))
        return outcome;
    emptyExampleFolder(fs, appDir, name, Folder::Remove, outcome);
    deleteRecordFiles(fs, appDir, name, outcome);
    tellDeletedForGood(outcome);
    return outcome;
}

EditOutcome deleteJournalByKey(FileSystem &fs, const QString &appDir, const QString &name) {
    EditOutcome outcome;
    if (refusedName(name, outcome))
        return outcome;
    deleteRecordFiles(fs, appDir, name, outcome);
    emptyExampleFolder(fs, appDir, name, Folder::Keep, outcome);
    tellDeletedForGood(outcome);
    return outcome;
}

} // namespace varnotel
