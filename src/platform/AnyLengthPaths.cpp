#include "platform/AnyLengthPaths.h"

#include "platform/PosixDescriptor.h"

#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace varnotel::posix {

namespace {

// The folder that holds the path's last component, reached one folder at a
// time from the top, and that component.
int openParentByWalking(const QByteArray &path, QByteArray &last) {
    const qsizetype slash = path.lastIndexOf('/');
    last = path.mid(slash + 1);
    int folder = ::open(path.startsWith('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const QByteArray parent = slash <= 0 ? QByteArray() : path.left(slash);
    for (const QByteArray &step : parent.split('/')) {
        if (folder < 0 || step.isEmpty() || step == ".")
            continue;
        const int next = ::openat(folder, step.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = next;
    }
    if (last.isEmpty())
        last = ".";
    return folder;
}

} // namespace

int openAnyLength(const QByteArray &path, int flags) {
    const int fd = ::open(path.constData(), flags);
    if (fd >= 0 || errno != ENAMETOOLONG)
        return fd;
    QByteArray last;
    Fd parent(openParentByWalking(path, last));
    return parent.get() < 0 ? -1 : ::openat(parent.get(), last.constData(), flags);
}

bool statAnyLength(const QByteArray &path, struct stat &st, int flags) {
    if (::fstatat(AT_FDCWD, path.constData(), &st, flags) == 0)
        return true;
    if (errno != ENAMETOOLONG)
        return false;
    QByteArray last;
    Fd parent(openParentByWalking(path, last));
    return parent.get() >= 0 && ::fstatat(parent.get(), last.constData(), &st, flags) == 0;
}

int openRegularFile(const QByteArray &path, struct stat &st, Result &why) {
    const Result notRegular = Result::failure(QStringLiteral("not a regular file"));
    if (!statAnyLength(path, st, 0)) {
        why = lastError();
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        why = notRegular;
        return -1;
    }
    Fd fd(openAnyLength(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        why = lastError();
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        why = notRegular;
        return -1;
    }
    // Reading a regular file never waits; the flag goes for the plain reads that follow.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd.release();
}

} // namespace varnotel::posix
