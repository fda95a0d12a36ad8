#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace varnotel {

// Starts another program with its arguments, each handed over as it is (no
// shell reads them), and returns at once; the program is not waited for or
// tracked.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual Result start(const QString &program, const QStringList &arguments) = 0;
};

} // namespace varnotel
