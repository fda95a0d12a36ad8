#pragma once

#include "platform/Result.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace varnotel::posix {

// The error of the last failed call, in the system's words.
inline Result lastError() { return Result::failure(QString::fromLocal8Bit(std::strerror(errno))); }

// Closes a descriptor at scope end, so no early return leaks one.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace varnotel::posix
