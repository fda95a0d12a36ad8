#pragma once

#include "platform/ProgramStarter.h"

namespace varnotel {

// Starts a program detached from this one, its standard input closed.
class DesktopProgramStarter final : public ProgramStarter {
public:
    Result start(const QString &program, const QStringList &arguments) override;
};

} // namespace varnotel
