#pragma once

#include "platform/FileSystem.h"

#include <QString>

namespace varnotel {

// Every text of the program is Chinese, a blank, then English.
inline QString bilingual(const QString &chinese, const QString &english) {
    return chinese + QLatin1Char(' ') + english;
}

// A failed file operation, told with the path and the system's reason.
inline QString failureMessage(const QString &chinese, const QString &english, const QString &path,
                              const FsResult &result) {
    return bilingual(chinese, english) + QStringLiteral("\n") + path + QStringLiteral("\n(") + result.error +
           QLatin1Char(')');
}

} // namespace varnotel
