#include "launch/StartRequest.h"

#include "platform/Bilingual.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QUrl>

namespace varnotel {

namespace {

const QString kOpener = QStringLiteral("xdg-open");

// A homepage file may be long; a message shows enough to recognise it.
constexpr qsizetype kShownLength = 300;

// A message quotes a file's content with its control characters written out.
QString shown(const QString &target) {
    return visibleText(target.size() <= kShownLength ? target
                                                     : target.left(kShownLength) + QStringLiteral("..."));
}

DesktopCommand refused(FailureKind kind, const QString &chinese, const QString &english,
                       const QString &target = {}) {
    QString reason = bilingual(chinese, english);
    if (!target.isEmpty())
        reason += QLatin1Char('\n') + shown(target);
    return {{}, Failure{kind, reason}, shown(target)};
}

DesktopCommand openFile(const QString &path) {
    if (path.isEmpty())
        return refused(FailureKind::NotAFile, QStringLiteral("没有要打开的文件。"),
                       QStringLiteral("There is no file to open."));
    // Anchored in the current folder, a relative path can be read neither as an
    // option nor as an address; it still names the same file.
    const QString argument = QDir::isRelativePath(path) ? QStringLiteral("./") + path : path;
    return {{kOpener, argument}, std::nullopt, shown(path)};
}

bool isWebAddress(const QUrl &url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool hasWebScheme(const QString &address) {
    return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// Only web pages are opened: a local file, a "file:" or "javascript:" address
// in a homepage file would have the desktop open or run something else. Only
// an address without a scheme is taken for a web address ("www.nature.com");
// one with another scheme is not made into one ("gopher://x" is no
// "http://gopher//x").
DesktopCommand browse(const QString &address) {
    if (address.isEmpty())
        return refused(FailureKind::NotAWebAddress, QStringLiteral("没有要打开的网址。"),
                       QStringLiteral("There is no address to open."));
    if (address.startsWith(QLatin1Char('-')))
        return refused(FailureKind::NotAWebAddress, QStringLiteral("网址不能以“-”开头:"),
                       QStringLiteral("An address cannot begin with \"-\":"), address);
    if (hasWebScheme(address)) {
        if (isWebAddress(QUrl(address)))
            return {{kOpener, address}, std::nullopt, shown(address)};
    } else if (const QUrl guessed = QUrl::fromUserInput(address);
               !address.contains(QLatin1String("://")) && isWebAddress(guessed)) {
        return {{kOpener, guessed.toString()}, std::nullopt, shown(address)};
    }
    return refused(FailureKind::NotAWebAddress, QStringLiteral("只能打开网页地址(http 或 https),这不是:"),
                   QStringLiteral("Only web addresses (http or https) are opened; this is not one:"),
                   address);
}

} // namespace

DesktopCommand desktopCommandFor(const StartRequest &request) {
    return request.kind == StartRequest::Kind::File ? openFile(request.target) : browse(request.target);
}

} // namespace varnotel
