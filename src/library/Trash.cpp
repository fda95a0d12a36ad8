#include "library/Trash.h"

#include "library/NewFile.h"
#include "platform/FileNames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace varnotel {

namespace {

constexpr qsizetype kMaxNameBytes = 255;
constexpr int kMaxNumberedNames = 10000;

QString parentOf(const QString &path) { return path.left(path.lastIndexOf(QLatin1Char('/'))); }

// The folders above the trash are ordinary ones; the trash and its two
// folders are the user's alone.
Result makeFolders(FileSystem &fs, const QString &path, bool isPrivate) {
    if (path.isEmpty() || fs.folderExists(path))
        return Result::success();
    if (const Result parent = makeFolders(fs, parentOf(path), false); !parent)
        return parent;
    const Result made = isPrivate ? fs.createPrivateFolder(path) : fs.createFolder(path);
    return made || fs.folderExists(path) ? Result::success() : made;
}

Result prepareTrash(FileSystem &fs, const QString &trash) {
    for (const QString &folder : {trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (const Result made = makeFolders(fs, folder, true); !made)
            return made;
    }
    return Result::success();
}

// The name in the trash, short enough to take ".trashinfo" and a counter;
// never cut inside a character.
QString fittedName(QString name) {
    while (bytesFromName(name).size() > kMaxNameBytes - 20 && name.size() > 1) {
        const bool pair =
            name.size() >= 2 && name.back().isLowSurrogate() && name.at(name.size() - 2).isHighSurrogate();
        name.chop(pair ? 2 : 1);
    }
    return name;
}

// The path as the desktop restores it: its bytes, percent-encoded.
QByteArray trashInfo(const QString &path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return "[Trash Info]\nPath=" + bytesFromName(absolute).toPercentEncoding("/") + "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + "\n";
}

bool occupied(const FileSystem &fs, const QString &path) {
    return fs.entryExists(path) || fs.isSymLink(path);
}

} // namespace

QString homeTrashFolder() {
    const QString dataHome = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    // A relative XDG_DATA_HOME is invalid and is to be ignored.
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        return dataHome + QStringLiteral("/Trash");
    return QDir::homePath() + QStringLiteral("/.local/share/Trash");
}

Result moveToHomeTrash(FileSystem &fs, const QString &path) {
    const std::optional<EntryId> file = fs.entryId(path);
    if (!file)
        return Result::failure(QStringLiteral("no such file"));
    if (fs.folderExists(path) && !fs.isSymLink(path))
        return Result::failure(QStringLiteral("folders are not moved to the trash"));
    const QString trash = homeTrashFolder();
    if (const Result prepared = prepareTrash(fs, trash); !prepared)
        return prepared;
    const std::optional<EntryId> files = fs.folderId(trash + QStringLiteral("/files"));
    if (!files)
        return Result::failure(QStringLiteral("the trash cannot be used"));
    if (files->device != file->device)
        return Result::failure(QStringLiteral("the trash is on another device"));

    const QString base = fittedName(QFileInfo(path).fileName());
    const QByteArray info = trashInfo(path);
    for (int n = 1; n < kMaxNumberedNames; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('.') + QString::number(n);
        const QString infoPath = trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
        const QString target = trash + QStringLiteral("/files/") + name;
        // The info file is made first and never replaces one: that claims the name.
        if (occupied(fs, target) || occupied(fs, infoPath))
            continue;
        if (const Result claimed = createNewFile(fs, infoPath, info); !claimed) {
            if (occupied(fs, infoPath))
                continue; // taken meanwhile
            return claimed;
        }
        const Result moved = fs.renameNoReplace(path, target);
        if (moved)
            return moved;
        fs.removeFile(infoPath);
        if (!occupied(fs, target))
            return moved;
    }
    return Result::failure(QStringLiteral("no free name in the trash"));
}

} // namespace varnotel
