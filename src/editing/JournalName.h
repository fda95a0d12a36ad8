#pragma once

#include "platform/Failure.h"

#include <QString>

#include <optional>

namespace varnotel {

// The longest file name the file system takes, in bytes of its encoding.
inline constexpr qsizetype kMaxFileNameBytes = 255;

// Why a typed name cannot become a journal; nothing when it can. The name is used unchanged, so blanks at
// either end and any script are fine; what is refused would make a record file elsewhere, a file name the
// system rejects, or an example folder that is Example itself. The empty name means a cancelled prompt and is
// not judged here.
std::optional<Failure> journalNameProblem(const QString &name);

} // namespace varnotel
