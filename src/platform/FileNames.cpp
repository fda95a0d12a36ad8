#include "platform/FileNames.h"

#include "platform/Encodings.h"

#include <algorithm>

namespace varnotel {

namespace {

// A byte that is not part of UTF-8 is kept as a lone low surrogate, U+DC80 to
// U+DCFF: UTF-8 can never spell a surrogate, so no real name is taken for one.
constexpr char16_t kByteBase = 0xDC00;

// Only a lone one: the low half of a pair is part of a real character.
bool standsForByte(const QString &name, qsizetype i) {
    const char16_t c = name.at(i).unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !name.at(i - 1).isHighSurrogate());
}

void appendUtf8(QByteArray &out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | (codePoint >> 6));
        out += char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += char(0xE0 | (codePoint >> 12));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xF0 | (codePoint >> 18));
        out += char(0x80 | ((codePoint >> 12) & 0x3F));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}

QString fromGb18030(const QByteArray &bytes) {
    QByteArray utf8;
    return encoding::convertWithIconv(bytes, "GB18030", "UTF-8", utf8) ? QString::fromUtf8(utf8) : QString();
}

} // namespace

QString nameFromBytes(QByteArrayView bytes) {
    const auto *start = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = start + bytes.size();
    const auto *p = start;
    while (p < end) { // most names are UTF-8 through and through: one pass, one conversion
        const int length = *p < 0x80 ? 1 : encoding::utf8SequenceLength(p, end);
        if (length == 0)
            break;
        p += length;
    }
    if (p == end)
        return QString::fromUtf8(bytes);
    QString name = QString::fromUtf8(reinterpret_cast<const char *>(start), p - start);
    const auto *run = p; // the start of the UTF-8 run not yet taken
    while (p < end) {
        const int length = encoding::utf8SequenceLength(p, end);
        if (length > 0) {
            p += length;
            continue;
        }
        name += QString::fromUtf8(reinterpret_cast<const char *>(run), p - run);
        name += QChar(char16_t(kByteBase + *p));
        run = ++p;
    }
    name += QString::fromUtf8(reinterpret_cast<const char *>(run), p - run);
    return name;
}

QByteArray bytesFromName(const QString &name) {
    if (!hasForeignBytes(name))
        return name.toUtf8();
    QByteArray out;
    out.reserve(name.size() * 3);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (standsForByte(name, i)) {
            out += char(c.unicode() - kByteBase);
        } else if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(c, name.at(i + 1)));
            ++i;
        } else if (c.isSurrogate()) {
            appendUtf8(out, 0xFFFD); // no byte of a name ever gives one
        } else {
            appendUtf8(out, c.unicode());
        }
    }
    return out;
}

bool hasForeignBytes(const QString &name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (standsForByte(name, i))
            return true;
    }
    return false;
}

QString visibleText(const QString &text) {
    const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!isControl(c))
            shown += c;
        else if (c == u'\n')
            shown += QLatin1String("\\n");
        else if (c == u'\r')
            shown += QLatin1String("\\r");
        else if (c == u'\t')
            shown += QLatin1String("\\t");
        else if (c.unicode() < 0x80)
            shown +=
                QLatin1String("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            shown +=
                QLatin1String("\\u") + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
    }
    return shown;
}

QString displayName(const QString &name) {
    if (!hasForeignBytes(name))
        return visibleText(name);
    if (const QString chinese = fromGb18030(bytesFromName(name)); !chinese.isEmpty())
        return visibleText(chinese);
    QString shown = name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (standsForByte(name, i))
            shown[i] = QChar::ReplacementCharacter;
    }
    return visibleText(shown);
}

} // namespace varnotel
