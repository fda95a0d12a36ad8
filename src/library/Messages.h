#pragma once

#include "platform/Bilingual.h"
#include "platform/Failure.h"
#include "platform/FileNames.h"
#include "platform/Result.h"

#include <QString>

namespace varnotel {

// A failure that names what it is about, on a line of its own.
inline Failure failureNaming(FailureKind kind, const QString &chinese, const QString &english,
                             const QString &what) {
    return {kind, bilingual(chinese, english) + QLatin1Char('\n') + displayName(what)};
}

// A failed file operation, told with the path and the system's reason.
inline Failure fileFailure(FailureKind kind, const QString &chinese, const QString &english,
                           const QString &path, const Result &result) {
    Failure failure = failureNaming(kind, chinese, english, path);
    failure.message += QStringLiteral("\n(") + result.error + QLatin1Char(')');
    return failure;
}

} // namespace varnotel
