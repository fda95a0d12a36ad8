#include "launch/HomepageAddress.h"

#include <QRegularExpression>

namespace varnotel {

QString homepageAddress(const QString &homepageText) {
    static const QRegularExpression separators(QStringLiteral("[ \\t\\r\\n]+"));
    for (QString word : homepageText.split(separators, Qt::SkipEmptyParts)) {
        word.remove(QLatin1Char('"'));
        if (!word.isEmpty())
            return word == QLatin1String("http:") ? QString() : word;
    }
    return {};
}

} // namespace varnotel
