#pragma once

#include <QString>

namespace varnotel {

// Every text of the program is Chinese, a blank, then English.
inline QString bilingual(const QString &chinese, const QString &english) {
    return chinese + QLatin1Char(' ') + english;
}

} // namespace varnotel
