#include "examples/ArticlePath.h"

#include "library/LibraryPaths.h"

#include <QDir>

namespace varnotel {

bool liesInExampleTree(const FileSystem &fs, const QString &appDir, const QString &path) {
    const QString root = QDir::cleanPath(paths::exampleRoot(appDir)) + QLatin1Char('/');
    const QString cleaned = QDir::cleanPath(path);
    if (!cleaned.startsWith(root))
        return false;
    for (qsizetype slash = cleaned.indexOf(QLatin1Char('/'), root.size()); slash >= 0;
         slash = cleaned.indexOf(QLatin1Char('/'), slash + 1)) {
        if (fs.isSymLink(cleaned.left(slash)))
            return false;
    }
    return true;
}

QString fileNameOf(const QString &path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

} // namespace varnotel
