#include "media/StartRequest.h"

#include "media/CommandLines.h"
#include "media/WindowsArguments.h"

namespace varnotel {

StartRequest parseStartRequest(const QString &commandLine) {
    StartRequest request;
    const QString browser = QString(kBrowserPath) + QLatin1Char(' ');
    if (commandLine.startsWith(kShellOpenPrefix) && commandLine.endsWith(QLatin1Char('"')) &&
        commandLine.size() > kShellOpenPrefix.size()) {
        request.kind = StartRequest::Kind::OpenFile;
        // Everything up to the last quote is the path, quotes inside it included.
        const qsizetype length = commandLine.size() - kShellOpenPrefix.size() - 1;
        request.path = commandLine.mid(kShellOpenPrefix.size(), length);
    } else if (commandLine.startsWith(browser)) {
        request.kind = StartRequest::Kind::Browse;
        request.arguments = splitWindowsArguments(commandLine.mid(browser.size()));
    }
    return request;
}

} // namespace varnotel
