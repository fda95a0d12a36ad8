#include "library/SkipTo.h"

namespace varnotel {

qsizetype firstMatch(const QStringList &items, const QString &typed) {
    // The item's beginning is as long as the text typed; lower-casing may
    // lengthen both sides alike (İ becomes i and a combining dot).
    const qsizetype length = typed.size();
    const QString key = typed.toLower();
    for (qsizetype index = 0; index < items.size(); ++index) {
        const QString &item = items.at(index);
        if (item.size() >= length && item.first(length).toLower() == key)
            return index;
    }
    return -1;
}

} // namespace varnotel
