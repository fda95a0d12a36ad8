#include "library/TextEncoding.h"

#include <cerrno>
#include <iconv.h>
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

bool convertWithIconv(const QByteArray &input, const char *from, const char *to, QByteArray &output) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    output.resize(input.size() * 4 + 16);
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char *out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    bool ok = true;
    while (inLeft > 0) {
        if (::iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                const auto used = out - output.data();
                output.resize(output.size() * 2);
                out = output.data() + used;
                outLeft = static_cast<size_t>(output.size() - used);
                continue;
            }
            ok = false;
            break;
        }
    }
    if (ok && ::iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
        ok = false;
    output.resize(out - output.data());
    ::iconv_close(cd);
    return ok;
}

bool isValidUtf8(const QByteArray &bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        int follow = 0;
        unsigned int codePoint = 0;
        if (c < 0x80) {
            ++p;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            codePoint = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            codePoint = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            codePoint = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= follow)
            return false;
        for (int i = 1; i <= follow; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (p[i] & 0x3F);
        }
        const bool overlong = (follow == 2 && codePoint < 0x800) || (follow == 3 && codePoint < 0x10000);
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        if (overlong || surrogate || codePoint > 0x10FFFF)
            return false;
        p += follow + 1;
    }
    return true;
}

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
