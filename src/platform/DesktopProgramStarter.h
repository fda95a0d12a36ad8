#pragma once

#include "platform/ProgramStarter.h"

namespace varnotel {

// Turns the program's two kinds of start request into real starts on a Linux
// desktop, without a shell.
class DesktopProgramStarter final : public ProgramStarter {
public:
    StartResult start(const QString &commandLine, WindowStyle style) override;
};

} // namespace varnotel
