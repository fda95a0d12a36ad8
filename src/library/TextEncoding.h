#pragma once

#include "platform/Encodings.h"

#include <QByteArray>
#include <QString>

namespace varnotel::encoding {

// Record files are written in the system's text encoding, the locale's. A
// locale that cannot hold the text (the plain C locale, say) gets UTF-8
// rather than question marks.
QByteArray encodeForSystem(const QString &text);
QByteArray encodeForCodeset(const QString &text, const char *codeset);

// Bytes that begin with a UTF-16 byte-order mark (little or big endian, as
// Windows Notepad saves "Unicode") are read as UTF-16; bytes that are valid
// UTF-8 as UTF-8 (a byte-order mark is dropped); anything else is taken as
// code page 936 through GB18030, so catalogues made on the program's
// Chinese-language home systems read correctly.
QString decodeRecordBytes(const QByteArray &bytes);

} // namespace varnotel::encoding
