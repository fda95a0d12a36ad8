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

QString decodeRecordBytes(const QByteArray &bytes) {
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
