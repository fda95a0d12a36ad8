// Any bytes in a record file read for display give every line followed by
// CR LF and nothing else: no line end is lost or made up.
#include "Check.h"
#include "library/RecordFile.h"
#include "library/TextEncoding.h"

#include <QByteArray>
#include <QString>

using namespace varnotel;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString decoded = encoding::decodeRecordBytes(bytes);
    const QString shown = linesForDisplay(decoded);
    FUZZ_CHECK(shown.isEmpty() == decoded.isEmpty());
    FUZZ_CHECK(shown.isEmpty() || shown.endsWith(QLatin1String("\r\n")));
    for (qsizetype i = shown.indexOf(QLatin1Char('\r')); i >= 0; i = shown.indexOf(QLatin1Char('\r'), i + 1))
        FUZZ_CHECK(i + 1 < shown.size() && shown.at(i + 1) == QLatin1Char('\n'));
    // Reading for display only makes every line end a CR LF, adding one
    // after the last line: with each line end as one CR, the text is the file's.
    QString file = decoded;
    file.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    if (!file.isEmpty() && !file.endsWith(QLatin1Char('\r')))
        file += QLatin1Char('\r');
    QString lines = shown;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    FUZZ_CHECK(lines == file);
    return 0;
}
