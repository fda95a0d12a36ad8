#include "platform/DesktopProgramStarter.h"

#include "platform/Bilingual.h"
#include "platform/FileNames.h"

#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace varnotel {

namespace {

Result cannotRun(const QString &program, const QString &why) {
    return Result::failure(bilingual(QStringLiteral("无法运行 ") + program + QStringLiteral("。"),
                                     QStringLiteral("Cannot run ") + program + QStringLiteral(": ") + why));
}

// Between fork and exec only calls that are safe in a copy of a threaded
// process: the program goes to a grandchild, and the child leaves at once, so
// the started program belongs to nobody and never lingers as a zombie. A
// failed exec is told back through a pipe that a successful one closes.
int spawnDetached(const std::vector<char *> &argv, int nullInput, int reportFd) {
    const pid_t child = ::fork();
    if (child < 0)
        return errno;
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::dup2(nullInput, STDIN_FILENO);
            ::execve(argv.front(), argv.data(), environ);
            const int error = errno;
            [[maybe_unused]] const ssize_t told = ::write(reportFd, &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : EAGAIN;
}

} // namespace

// Arguments are handed over byte for byte: a path whose name is not UTF-8
// reaches the program exactly as it is on disk.
Result DesktopProgramStarter::start(const QString &program, const QStringList &arguments) {
    const QString executable =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return cannotRun(program, QStringLiteral("not found"));
    std::vector<QByteArray> bytes{bytesFromName(executable)};
    for (const QString &argument : arguments)
        bytes.push_back(bytesFromName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const int nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int report[2];
    if (nullInput < 0 || ::pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;
        if (nullInput >= 0)
            ::close(nullInput);
        return cannotRun(program, QString::fromLocal8Bit(std::strerror(error)));
    }
    int error = spawnDetached(argv, nullInput, report[1]);
    ::close(report[1]);
    ::close(nullInput);
    int execError = 0;
    ssize_t told = 0;
    while ((told = ::read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (told == sizeof execError)
        error = execError;
    if (error != 0)
        return cannotRun(program, QString::fromLocal8Bit(std::strerror(error)));
    return Result::success();
}

} // namespace varnotel
