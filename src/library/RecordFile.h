#pragma once

#include "platform/FileSystem.h"

#include <QString>

namespace varnotel {

// The only way record files are written: one value between double quotes,
// then CR LF. A double quote inside the value is written as it is. The program
// only ever writes a record file that is missing, so the write never replaces
// or writes through anything found at the path.
QByteArray quotedLineBytes(const QString &value);
Result writeQuotedLine(FileSystem &fs, const QString &path, const QString &value);

// The only way record files are read: every line, ending at CR LF or a lone
// CR, is taken verbatim and followed by CR LF; an empty file is the empty text.
QString linesForDisplay(const QString &text);

// The largest part of a field file that is shown; the rest is left out with a note.
inline constexpr qint64 kDisplayLimit = 1024 * 1024;

struct DisplayText {
    QString text;
    bool truncated = false;
};

Result readForDisplay(const FileSystem &fs, const QString &path, DisplayText &result,
                      qint64 limit = kDisplayLimit);

} // namespace varnotel
