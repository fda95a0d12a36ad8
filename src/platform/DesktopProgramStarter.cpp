#include "platform/DesktopProgramStarter.h"

#include "platform/Bilingual.h"

#include <QProcess>

namespace varnotel {

Result DesktopProgramStarter::start(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached())
        return Result::success();
    return Result::failure(
        bilingual(QStringLiteral("无法运行 ") + program + QStringLiteral("。"),
                  QStringLiteral("Cannot run ") + program + QStringLiteral(": ") + process.errorString()));
}

} // namespace varnotel
