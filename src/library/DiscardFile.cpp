#include "library/DiscardFile.h"

#include "library/Messages.h"
#include "library/Trash.h"

namespace varnotel {

Discarded discardFile(FileSystem &fs, const QString &path) {
    if (moveToTrash(fs, path))
        return {Result::success(), false};
    return {fs.removeFile(path), true};
}

std::optional<Failure> deletedForGood(const QStringList &paths) {
    if (paths.isEmpty())
        return std::nullopt;
    QStringList shown;
    for (const QString &path : paths)
        shown << displayName(path);
    return Failure{
        FailureKind::DeletedForGood,
        bilingual(QStringLiteral("回收站无法接收,以下文件已被永久删除:"),
                  QStringLiteral("No trash could take these files, so they were deleted for good:")) +
            QLatin1Char('\n') + shown.join(QLatin1Char('\n'))};
}

} // namespace varnotel
