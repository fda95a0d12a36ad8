#pragma once

#include <QString>

namespace varnotel {

// The order every listing has: case-insensitive by name, ties by exact name.
inline bool listedBefore(const QString &a, const QString &b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace varnotel
