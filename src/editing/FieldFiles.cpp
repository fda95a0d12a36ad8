#include "editing/FieldFiles.h"

#include "library/Messages.h"
#include "library/RecordFile.h"

namespace varnotel {

FieldFileOutcome ensureFieldFile(FileSystem &fs, const QString &appDir, Record field, const QString &name) {
    FieldFileOutcome outcome;
    outcome.path = paths::recordFile(appDir, field, name);
    if (fs.fileExists(outcome.path))
        return outcome;
    // Writing through a dangling link would create a file wherever it points.
    if (fs.entryExists(outcome.path) || fs.isSymLink(outcome.path)) {
        outcome.result = FsResult::failure(QStringLiteral("not a regular file"));
        return outcome;
    }
    outcome.result = writeQuotedLine(fs, outcome.path, defaultRecordValue(field, name));
    outcome.created = outcome.result.ok;
    // A write that broke off (a full disk) leaves no half-made file behind.
    if (!outcome.result && fs.fileExists(outcome.path))
        fs.removeFile(outcome.path);
    return outcome;
}

QString fieldCreationFailure(const FieldFileOutcome &outcome) {
    return failureMessage(QStringLiteral("无法创建文件"), QStringLiteral("Cannot create the file:"),
                          outcome.path, outcome.result);
}

} // namespace varnotel
