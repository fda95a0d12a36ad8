#include "library/Trash.h"

#include "library/NewFile.h"
#include "platform/FileNames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace varnotel {

namespace {

constexpr qsizetype kMaxNameBytes = 255;
constexpr int kMaxNumberedNames = 10000;

QString parentOf(const QString &path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString nameOf(const QString &path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

// A trash, and how the paths it records are written: a trash at the top of a
// disk records them from that top, so the disk may be mounted anywhere.
struct TrashPlace {
    QString folder;
    QString top; // empty: absolute paths
};

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

// The trash's two folders, made when missing; a trash that is a link or not
// the user's is not used, for a file put there could be read by others.
bool ready(FileSystem &fs, const QString &trash) {
    for (const QString &folder : {trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (!fs.folderExists(folder) && !fs.isSymLink(folder) && !makeFolders(fs, folder, true))
            return false;
        const FolderTrust trust = fs.folderTrust(folder);
        if (!trust.folder || !trust.mine)
            return false;
    }
    return true;
}

// The nearest folder at or above the path that is already there.
QString nearestExisting(const FileSystem &fs, QString path) {
    while (!fs.folderExists(path) && path != QLatin1String("/"))
        path = parentOf(path);
    return path;
}

bool onDevice(const FileSystem &fs, const QString &folder, quint64 device) {
    const std::optional<EntryId> id = fs.folderId(folder);
    return id && id->device == device;
}

// The top of the disk the file lies on: the highest folder above it on the
// same device.
QString topOfDisk(const FileSystem &fs, const QString &path, quint64 device) {
    QString top = parentOf(path);
    while (top != QLatin1String("/") && onDevice(fs, parentOf(top), device))
        top = parentOf(top);
    return top;
}

std::optional<TrashPlace> trashFor(FileSystem &fs, const QString &path, quint64 device) {
    // A file on the home trash's disk goes there or nowhere; the home trash is
    // made only when it would be on the file's disk.
    const QString home = homeTrashFolder();
    if (onDevice(fs, nearestExisting(fs, home), device)) {
        if (ready(fs, home) && onDevice(fs, home + QStringLiteral("/files"), device))
            return TrashPlace{home, {}};
        return std::nullopt;
    }
    const QString top = topOfDisk(fs, path, device);
    const QString base = top == QLatin1String("/") ? QString() : top;
    const QString uid = QString::number(::geteuid());
    const QString shared = base + QStringLiteral("/.Trash");
    if (const FolderTrust trust = fs.folderTrust(shared); trust.folder && trust.sticky) {
        if (const QString own = shared + QLatin1Char('/') + uid; ready(fs, own) && onDevice(fs, own, device))
            return TrashPlace{own, top};
    }
    if (const QString own = base + QStringLiteral("/.Trash-") + uid;
        ready(fs, own) && onDevice(fs, own, device))
        return TrashPlace{own, top};
    return std::nullopt;
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
QByteArray trashInfo(const QString &path, const TrashPlace &place) {
    QString recorded = QDir::cleanPath(QDir(path).absolutePath());
    if (!place.top.isEmpty() && place.top != QLatin1String("/"))
        recorded = recorded.mid(place.top.size() + 1);
    else if (!place.top.isEmpty())
        recorded = recorded.mid(1);
    return "[Trash Info]\nPath=" + bytesFromName(recorded).toPercentEncoding("/") + "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + "\n";
}

bool occupied(const FileSystem &fs, const QString &path) {
    return fs.entryExists(path) || fs.isSymLink(path);
}

Result moveInto(FileSystem &fs, const QString &path, const TrashPlace &place) {
    const QString base = fittedName(nameOf(path));
    const QByteArray info = trashInfo(path, place);
    for (int n = 1; n < kMaxNumberedNames; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('.') + QString::number(n);
        const QString infoPath =
            place.folder + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
        const QString target = place.folder + QStringLiteral("/files/") + name;
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

} // namespace

QString homeTrashFolder() {
    const QString dataHome = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    // A relative XDG_DATA_HOME is invalid and is to be ignored.
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        return dataHome + QStringLiteral("/Trash");
    return QDir::homePath() + QStringLiteral("/.local/share/Trash");
}

Result moveToTrash(FileSystem &fs, const QString &path) {
    const std::optional<EntryId> file = fs.entryId(path);
    if (!file)
        return Result::failure(QStringLiteral("no such file"));
    if (fs.folderExists(path) && !fs.isSymLink(path))
        return Result::failure(QStringLiteral("folders are not moved to the trash"));
    const std::optional<TrashPlace> place = trashFor(fs, path, file->device);
    if (!place)
        return Result::failure(QStringLiteral("no trash on this disk can take it"));
    return moveInto(fs, path, *place);
}

} // namespace varnotel
