#pragma once

#include <QString>

namespace varnotel {

// How the started program's first window is shown.
enum class WindowStyle { NormalFocus = 1, MinimizedFocus = 2 };

struct StartResult {
    bool ok = true;
    QString error;
};

// Starts another program from a command line and returns at once; the program
// is not waited for or tracked.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual StartResult start(const QString &commandLine, WindowStyle style) = 0;
};

} // namespace varnotel
