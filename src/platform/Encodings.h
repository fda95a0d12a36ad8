#pragma once

#include <QByteArray>

namespace varnotel::encoding {

// The length of the UTF-8 sequence that starts at p (before end), or 0 when
// none does: overlong forms, surrogates and code points past U+10FFFF are
// not UTF-8.
int utf8SequenceLength(const unsigned char *p, const unsigned char *end);
bool isValidUtf8(const QByteArray &bytes);

// Converts with iconv; false when the encoding is unknown or the text cannot
// be converted.
bool convertWithIconv(const QByteArray &input, const char *from, const char *to, QByteArray &output);

} // namespace varnotel::encoding
