#pragma once

#include <QString>

namespace varnotel {

// The longest file name the file system takes, in bytes of its encoding.
inline constexpr qsizetype kMaxFileNameBytes = 255;

// Why a typed name cannot become a journal, as a bilingual message; the empty
// text when it can. The name is used unchanged, so blanks at either end and
// any script are fine; what is refused would make a record file elsewhere, a
// file name the system rejects, or an example folder that is Example itself.
// The empty name means a cancelled prompt and is not judged here.
QString journalNameProblem(const QString &name);

} // namespace varnotel
