#pragma once

#include "platform/Bilingual.h"
#include "platform/FileNames.h"
#include "platform/Result.h"

#include <QString>

namespace varnotel {

// A failed file operation, told with the path and the system's reason.
inline QString failureMessage(const QString &chinese, const QString &english, const QString &path,
                              const Result &result) {
    return bilingual(chinese, english) + QStringLiteral("\n") + displayName(path) + QStringLiteral("\n(") +
           result.error + QLatin1Char(')');
}

} // namespace varnotel
