#include "platform/DesktopProgramStarter.h"

namespace varnotel {

StartResult DesktopProgramStarter::start(const QString &commandLine, WindowStyle style) {
    Q_UNUSED(commandLine);
    Q_UNUSED(style);
    return {false, QStringLiteral("not available")};
}

} // namespace varnotel
