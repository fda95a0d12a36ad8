#include "media/CommandLines.h"

namespace varnotel {

QString shellOpenCommandLine(const QString &path) {
    return QString(kShellOpenPrefix) + path + QLatin1Char('"');
}

QString browserCommandLine(const QString &text) { return QString(kBrowserPath) + QLatin1Char(' ') + text; }

QString blogCommandLine() { return browserCommandLine(QString(kBlogAddress)); }

} // namespace varnotel
