#include "examples/DeleteArticle.h"

#include "examples/ArticlePath.h"
#include "library/DiscardFile.h"
#include "library/Messages.h"

namespace varnotel {

ArticleDeletion deleteArticle(FileSystem &fs, const QString &appDir, const QString &path) {
    ArticleDeletion deletion;
    if (path.isEmpty() || !fs.fileExists(path))
        return deletion;
    if (!liesInExampleTree(fs, appDir, path)) {
        deletion.failures << failureNaming(
            FailureKind::LinkedFolder, QStringLiteral("该文件不在期刊例文文件夹中(经由链接),没有删除:"),
            QStringLiteral("This file lies outside the example folders (through "
                           "a link) and was not deleted:"),
            path);
        return deletion;
    }
    const Discarded discarded = discardFile(fs, path);
    if (!discarded) {
        deletion.failures << fileFailure(FailureKind::CannotDelete, QStringLiteral("无法删除文件"),
                                         QStringLiteral("Cannot delete the file:"), path, discarded.result);
        return deletion;
    }
    deletion.deleted = path;
    if (discarded.forGood)
        deletion.failures << *deletedForGood({path});
    return deletion;
}

} // namespace varnotel
