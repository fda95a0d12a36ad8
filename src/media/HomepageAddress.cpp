#include "media/HomepageAddress.h"

#include "media/WindowsArguments.h"

namespace varnotel {

bool holdsHomepageAddress(const QString &homepageText) {
    QStringList words = splitWindowsArguments(homepageText);
    words.removeAll(QString());
    return !words.isEmpty() && words != QStringList{QStringLiteral("http:")};
}

} // namespace varnotel
