// Arguments quoted the way a Windows program expects them are split back
// into exactly the same arguments, whatever they hold.
#include "Check.h"
#include "media/WindowsArguments.h"

#include <QString>
#include <QStringList>

using namespace varnotel;

namespace {

// Quotes one argument so that the Windows rules read it back unchanged:
// backslashes are doubled only where a double quote follows them.
QString quoted(const QString &argument) {
    QString result = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        if (c == QLatin1Char('"'))
            result += QString(backslashes * 2 + 1, QLatin1Char('\\'));
        else
            result += QString(backslashes, QLatin1Char('\\'));
        backslashes = 0;
        result += c;
    }
    result += QString(backslashes * 2, QLatin1Char('\\'));
    return result + QLatin1Char('"');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    splitWindowsArguments(text); // any text at all: no crash, no hang
    const QStringList arguments = text.split(QChar(0));
    QStringList line;
    for (const QString &argument : arguments)
        line << quoted(argument);
    FUZZ_CHECK(splitWindowsArguments(line.join(QLatin1Char(' '))) == arguments);
    return 0;
}
