#include "mainwindow/SkipTo.h"

#include "platform/FileNames.h"

namespace varnotel {

qsizetype firstMatch(const QStringList &items, const QString &typed) {
    // The item's beginning is as long as the text typed; lower-casing may
    // lengthen both sides alike (İ becomes i and a combining dot).
    const qsizetype length = typed.size();
    const QString key = typed.toLower();
    const auto begins = [&](const QString &item) {
        return item.size() >= length && item.first(length).toLower() == key;
    };
    for (qsizetype index = 0; index < items.size(); ++index) {
        // A name on disk that is not UTF-8 is matched as the person reads it.
        const QString &item = items.at(index);
        if (begins(item) || (hasForeignBytes(item) && begins(displayName(item))))
            return index;
    }
    return -1;
}

} // namespace varnotel
