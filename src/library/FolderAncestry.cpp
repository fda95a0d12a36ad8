#include "library/FolderAncestry.h"

#include <QDir>

namespace varnotel {

QList<EntryId> folderAndItsAncestors(const FileSystem &fs, const QString &folder) {
    QList<EntryId> ids;
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    for (;;) {
        if (const std::optional<EntryId> id = fs.folderId(path))
            ids.append(*id);
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || path == QLatin1String("/"))
            break;
        path = slash == 0 ? QStringLiteral("/") : path.left(slash);
    }
    return ids;
}

} // namespace varnotel
