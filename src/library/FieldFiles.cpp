#include "library/FieldFiles.h"

#include "library/Messages.h"
#include "library/RecordFile.h"

namespace varnotel {

FieldFileOutcome ensureFieldFile(FileSystem &fs, const QString &appDir, Record field, const QString &name) {
    FieldFileOutcome outcome;
    outcome.path = paths::recordFile(appDir, field, name);
    if (fs.fileExists(outcome.path))
        return outcome;
    // Written beside and renamed without replacing: a folder or a dangling link
    // that carries the name is never written through, and a write that broke
    // off leaves no half-made file behind.
    outcome.result = writeQuotedLine(fs, outcome.path, defaultRecordValue(field, name));
    outcome.created = outcome.result.ok;
    return outcome;
}

Failure fieldCreationFailure(const FieldFileOutcome &outcome) {
    return fileFailure(FailureKind::CannotCreate, QStringLiteral("无法创建文件"),
                       QStringLiteral("Cannot create the file:"), outcome.path, outcome.result);
}

} // namespace varnotel
