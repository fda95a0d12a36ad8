#include "platform/Encodings.h"

#include <cerrno>
#include <iconv.h>

namespace varnotel::encoding {

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

int utf8SequenceLength(const unsigned char *p, const unsigned char *end) {
    const unsigned char c = *p;
    int follow = 0;
    unsigned int codePoint = 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        follow = 1;
        codePoint = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        follow = 2;
        codePoint = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        follow = 3;
        codePoint = c & 0x07;
    } else {
        return 0;
    }
    if (end - p <= follow)
        return 0;
    for (int i = 1; i <= follow; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
    }
    const bool overlong = (follow == 2 && codePoint < 0x800) || (follow == 3 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return overlong || surrogate || codePoint > 0x10FFFF ? 0 : follow + 1;
}

bool isValidUtf8(const QByteArray &bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const int length = utf8SequenceLength(p, end);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

} // namespace varnotel::encoding
