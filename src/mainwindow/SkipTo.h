#pragma once

#include <QString>
#include <QStringList>

namespace varnotel {

// The lowest index of an item that begins with the typed key, compared after
// both are lower-cased with the same function; -1 when none does. An item
// shorter than the key never matches. Lists of any length are searched.
qsizetype firstMatch(const QStringList &items, const QString &typed);

} // namespace varnotel
