#include "platform/HomeTrash.h"

#include "platform/PosixFileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnotel {

namespace {

constexpr qsizetype kMaxNameBytes = 255;

FsResult lastError() { return FsResult::failure(QString::fromLocal8Bit(std::strerror(errno))); }

QString trashFolder() {
    const QString dataHome = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    // A relative XDG_DATA_HOME is invalid and is to be ignored.
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        return dataHome + QStringLiteral("/Trash");
    return QDir::homePath() + QStringLiteral("/.local/share/Trash");
}

bool makePrivateFolder(const QString &path) {
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || errno == EEXIST;
}

FsResult prepareTrash(const QString &trash) {
    const QString parent = trash.left(trash.lastIndexOf(QLatin1Char('/')));
    if (!QDir().mkpath(parent) || !makePrivateFolder(trash) ||
        !makePrivateFolder(trash + QStringLiteral("/files")) ||
        !makePrivateFolder(trash + QStringLiteral("/info")))
        return lastError();
    return FsResult::success();
}

// The name in the trash, short enough to take ".trashinfo" and a counter.
QString fittedName(QString name) {
    while (QFile::encodeName(name).size() > kMaxNameBytes - 20 && name.size() > 1)
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
    return name;
}

QByteArray trashInfo(const QString &path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return "[Trash Info]\nPath=" + QUrl::toPercentEncoding(absolute, "/") + "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + "\n";
}

// The info file is made first and exclusively: that claims the name. The
// result is 0, or the errno of the failure (EEXIST: the name is taken).
int claimInfoFile(const QString &infoPath, const QByteArray &info) {
    const QByteArray native = QFile::encodeName(infoPath);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    const bool written = ::write(fd, info.constData(), static_cast<size_t>(info.size())) == info.size();
    const int error = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(native.constData());
        return written ? EIO : error;
    }
    return 0;
}

} // namespace

FsResult moveToHomeTrash(const QString &path) {
    struct stat file {};
    if (::lstat(QFile::encodeName(path).constData(), &file) != 0)
        return lastError();
    if (S_ISDIR(file.st_mode))
        return FsResult::failure(QStringLiteral("folders are not moved to the trash"));
    const QString trash = trashFolder();
    if (const FsResult prepared = prepareTrash(trash); !prepared)
        return prepared;
    struct stat files {};
    if (::stat(QFile::encodeName(trash + QStringLiteral("/files")).constData(), &files) != 0)
        return lastError();
    if (files.st_dev != file.st_dev)
        return FsResult::failure(QStringLiteral("the trash is on another device"));

    const QString base = fittedName(QFileInfo(path).fileName());
    const QByteArray info = trashInfo(path);
    PosixFileSystem fs;
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('.') + QString::number(n);
        const QString infoPath = trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
        const QString target = trash + QStringLiteral("/files/") + name;
        if (fs.entryExists(target) || fs.isSymLink(target))
            continue;
        if (const int error = claimInfoFile(infoPath, info); error == EEXIST) {
            continue;
        } else if (error != 0) {
            errno = error;
            return lastError();
        }
        const FsResult moved = fs.renameNoReplace(path, target);
        if (moved)
            return moved;
        ::unlink(QFile::encodeName(infoPath).constData());
        if (!fs.entryExists(target) && !fs.isSymLink(target))
            return moved;
    }
    return FsResult::failure(QStringLiteral("no free name in the trash"));
}

} // namespace varnotel
