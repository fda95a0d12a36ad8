#include "platform/FileCopy.h"

#include "platform/PosixDescriptor.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace varnotel::posix {

namespace {

// A piece is big enough to copy at the disk's speed and small enough that
// progress is told several times a second even on a slow stick.
constexpr size_t kCopyPiece = 4 << 20;

// The errors with which a file system declines an in-kernel copy.
bool kernelCopyDeclined(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == EBADF;
}

// The next piece: copied in the kernel where the file systems allow it (no
// trip through this process, a shared extent where supported), read and
// written otherwise. Both move the descriptors' offsets, so either can follow
// the other. Returns the bytes copied, 0 at the end, -1 on an error.
ssize_t copyPiece(int in, int out, bool &inKernel, std::vector<char> &buffer) {
    if (inKernel) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kCopyPiece, 0);
        if (n > 0 || (n < 0 && !kernelCopyDeclined(errno)))
            return n;
        // 0 is the end, or a file the kernel does not copy (proc, sysfs): a read tells.
        inKernel = false;
    }
    buffer.resize(kCopyPiece);
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n > 0 && !writeAll(out, buffer.data(), n))
        return -1;
    return n;
}

} // namespace

bool writeAll(int fd, const char *data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

Result copyContents(int in, int out, qint64 total, const CopyProgress &progress) {
    bool inKernel = true;
    std::vector<char> buffer;
    qint64 copied = 0;
    for (;;) {
        const ssize_t n = copyPiece(in, out, inKernel, buffer);
        if (n == 0)
            return Result::success();
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError();
        copied += n;
        if (progress && !progress(copied, total))
            return Result::failure(QStringLiteral("cancelled"));
    }
}

} // namespace varnotel::posix
