#include "editing/AddJournal.h"

#include "editing/JournalName.h"
#include "library/LibraryPaths.h"
#include "library/Messages.h"
#include "library/RecordFile.h"

namespace varnotel {

namespace {

void removeCreated(FileSystem &fs, EditOutcome &outcome) {
    QStringList leftBehind;
    for (auto it = outcome.created.crbegin(); it != outcome.created.crend(); ++it) {
        const Result removed = fs.removeFile(*it);
        if (!removed) {
            leftBehind.prepend(*it);
            outcome.failures << fileFailure(FailureKind::CannotUndo, QStringLiteral("无法移除本次新建的文件"),
                                            QStringLiteral("Cannot remove the file just created:"), *it,
                                            removed);
        }
    }
    outcome.created = leftBehind;
}

} // namespace

EditOutcome addJournal(FileSystem &fs, const QString &appDir, const QString &name) {
    EditOutcome outcome;
    if (name.isEmpty())
        return outcome;
    if (const std::optional<Failure> problem = journalNameProblem(name)) {
        outcome.failures << *problem;
        return outcome;
    }
    for (Record record : kAllRecords) {
        const QString path = paths::recordFile(appDir, record, name);
        if (fs.fileExists(path))
            continue;
        const Result made = writeQuotedLine(fs, path, defaultRecordValue(record, name));
        if (!made) {
            outcome.failures << fileFailure(
                FailureKind::CannotCreate, QStringLiteral("无法创建期刊文件,本次没有添加任何文件"),
                QStringLiteral("Cannot create the journal's file; nothing was added:"), path, made);
            removeCreated(fs, outcome);
            return outcome;
        }
        outcome.created << path;
    }
    return outcome;
}

} // namespace varnotel
