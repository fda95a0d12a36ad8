#include "media/DesktopCommand.h"

#include "media/StartRequest.h"
#include "platform/Bilingual.h"

#include <QDir>
#include <QUrl>

namespace varnotel {

namespace {

const QString kOpener = QStringLiteral("xdg-open");

DesktopCommand refused(const QString &chinese, const QString &english) {
    return {{}, {}, bilingual(chinese, english)};
}

DesktopCommand openFile(const QString &path) {
    if (path.isEmpty())
        return refused(QStringLiteral("没有要打开的文件。"), QStringLiteral("There is no file to open."));
    // Anchored in the current folder, a relative path can be read neither as an
    // option nor as an address; it still names the same file.
    const QString target = QDir::isRelativePath(path) ? QStringLiteral("./") + path : path;
    return {kOpener, {target}, {}};
}

DesktopCommand browse(const QStringList &arguments) {
    // The browser shows its first argument; further words are not addresses.
    QString address;
    for (const QString &argument : arguments) {
        if (!argument.isEmpty()) {
            address = argument;
            break;
        }
    }
    if (address.isEmpty())
        return refused(QStringLiteral("没有要打开的网址。"), QStringLiteral("There is no address to open."));
    if (address.startsWith(QLatin1Char('-'))) {
        DesktopCommand refusal = refused(QStringLiteral("网址不能以“-”开头。"),
                                         QStringLiteral("An address cannot begin with \"-\"."));
        refusal.refusal += QLatin1Char('\n') + address;
        return refusal;
    }
    // The browser takes "www.example.org" for a web address; xdg-open would
    // look for a file of that name, so an address without a scheme gets one.
    if (QUrl(address).scheme().isEmpty())
        address = QUrl::fromUserInput(address).toString();
    if (address.isEmpty())
        return refused(QStringLiteral("无法识别的网址。"), QStringLiteral("The address is not understood."));
    return {kOpener, {address}, {}};
}

} // namespace

DesktopCommand desktopCommandFor(const QString &commandLine) {
    const StartRequest request = parseStartRequest(commandLine);
    switch (request.kind) {
    case StartRequest::Kind::OpenFile:
        return openFile(request.path);
    case StartRequest::Kind::Browse:
        return browse(request.arguments);
    case StartRequest::Kind::Unknown:
        break;
    }
    return refused(QStringLiteral("无法识别的启动请求。"),
                   QStringLiteral("The start request is not understood."));
}

} // namespace varnotel
