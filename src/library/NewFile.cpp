#include "library/NewFile.h"

#include <QRandomGenerator>

namespace varnotel {

QString scratchPathBeside(const FileSystem &fs, const QString &path) {
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    for (;;) {
        const QString candidate = folder + QStringLiteral(".varnotel-") +
                                  QString::number(QRandomGenerator::global()->generate64(), 16);
        if (!fs.entryExists(candidate) && !fs.isSymLink(candidate))
            return candidate;
    }
}

Result createNewFile(FileSystem &fs, const QString &path, const QByteArray &bytes) {
    const QString scratch = scratchPathBeside(fs, path);
    Result result = fs.writeFile(scratch, bytes);
    if (result)
        result = fs.renameNoReplace(scratch, path);
    if (!result && fs.fileExists(scratch))
        fs.removeFile(scratch);
    return result;
}

} // namespace varnotel
