#include "library/TextEncoding.h"

#include <langinfo.h>

#include <cstring>

namespace varnotel::encoding {

namespace {

const char *localeCodeset() {
    const char *codeset = ::nl_langinfo(CODESET);
    return codeset ? codeset : "";
}

bool isUtf8Name(const char *codeset) {
    return std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0;
}

bool isAsciiOnly(const char *codeset) {
    return *codeset == '\0' || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
           std::strcmp(codeset, "ASCII") == 0;
}

} // namespace

QByteArray encodeForSystem(const QString &text) { return encodeForCodeset(text, localeCodeset()); }

QByteArray encodeForCodeset(const QString &text, const char *codeset) {
    const QByteArray utf8 = text.toUtf8();
    if (isUtf8Name(codeset) || isAsciiOnly(codeset))
        return utf8;
    QByteArray converted;
    if (convertWithIconv(utf8, "UTF-8", codeset, converted))
        return converted;
    return utf8;
}

namespace {

// UTF-16 after its byte-order mark, as Windows Notepad saves "Unicode". A
// file cut at the display limit may end inside a unit or a pair: that tail
// is left out.
QString fromUtf16(const QByteArray &bytes, bool bigEndian) {
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
        const auto high = static_cast<unsigned char>(bytes.at(bigEndian ? i : i + 1));
        const auto low = static_cast<unsigned char>(bytes.at(bigEndian ? i + 1 : i));
        text += QChar(char16_t((high << 8) | low));
    }
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    return text;
}

} // namespace

QString decodeRecordBytes(const QByteArray &bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return fromUtf16(bytes, bytes.startsWith("\xFE"));
    if (isValidUtf8(bytes)) {
        static const QByteArray bom("\xEF\xBB\xBF");
        return QString::fromUtf8(bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes);
    }
    QByteArray utf8;
    if (convertWithIconv(bytes, "GB18030", "UTF-8", utf8))
        return QString::fromUtf8(utf8);
    return QString::fromUtf8(bytes); // neither: show what can be shown
}

} // namespace varnotel::encoding
