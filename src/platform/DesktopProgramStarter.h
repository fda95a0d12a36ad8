#pragma once

#include "platform/ProgramStarter.h"

#include <QStringList>

namespace varnotel {

// The program and argv that carry out one start request on a Linux desktop,
// or the reason it is refused (bilingual). No shell is involved, and no text
// of the request can reach the started program as an option.
struct DesktopCommand {
    QString program;
    QStringList arguments;
    QString refusal;
};

DesktopCommand desktopCommandFor(const QString &commandLine);

// Turns the program's two kinds of start request into real starts on a Linux
// desktop: a file opens with the desktop's default program for its type, an
// address in the default browser. The window style is the desktop's affair.
class DesktopProgramStarter final : public ProgramStarter {
public:
    StartResult start(const QString &commandLine, WindowStyle style) override;
};

} // namespace varnotel
