#include "platform/ScratchNames.h"

#include <cstring>

namespace varnotel {

namespace {

constexpr char kPrefix[] = ".varnotel-";
constexpr qsizetype kPrefixLength = sizeof kPrefix - 1;
constexpr qsizetype kDigits = 16;

bool isLowerHex(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); }

} // namespace

QString scratchName(quint64 random) {
    return QLatin1String(kPrefix) + QStringLiteral("%1").arg(random, int(kDigits), 16, QLatin1Char('0'));
}

bool isScratchName(QStringView name) {
    if (name.size() != kPrefixLength + kDigits || !name.startsWith(QLatin1String(kPrefix)))
        return false;
    for (const QChar c : name.sliced(kPrefixLength)) {
        if (!isLowerHex(c.unicode()))
            return false;
    }
    return true;
}

bool isScratchName(const char *name) {
    if (std::strncmp(name, kPrefix, size_t(kPrefixLength)) != 0 ||
        std::strlen(name) != size_t(kPrefixLength + kDigits))
        return false;
    for (const char *c = name + kPrefixLength; *c; ++c) {
        if (!isLowerHex(char16_t(static_cast<unsigned char>(*c))))
            return false;
    }
    return true;
}

} // namespace varnotel
