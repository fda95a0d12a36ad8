#include "library/NewFile.h"

#include "platform/ScratchNames.h"

#include <QRandomGenerator>

namespace varnotel {

QString scratchPathBeside(const FileSystem &fs, const QString &path) {
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    for (;;) {
        const QString candidate = folder + scratchName(QRandomGenerator::global()->generate64());
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

void removeLeftovers(FileSystem &fs, const QStringList &scratchPaths) {
    for (const QString &path : scratchPaths)
        fs.removeScratchFile(path); // one still being written stays, and is passed over
}

void removeLeftoversIn(FileSystem &fs, const QString &folder) {
    QStringList paths;
    for (const QString &name : fs.scratchFiles(folder))
        paths << folder + QLatin1Char('/') + name;
    removeLeftovers(fs, paths);
}

} // namespace varnotel
