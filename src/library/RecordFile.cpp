#include "library/RecordFile.h"

#include "library/NewFile.h"
#include "library/TextEncoding.h"

namespace varnotel {

QByteArray quotedLineBytes(const QString &value) {
    return encoding::encodeForSystem(QLatin1Char('"') + value + QLatin1Char('"')) + "\r\n";
}

Result writeQuotedLine(FileSystem &fs, const QString &path, const QString &value) {
    return createNewFile(fs, path, quotedLineBytes(value));
}

QString linesForDisplay(const QString &text) {
    QString result;
    result.reserve(text.size() + 2);
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype end = text.indexOf(QLatin1Char('\r'), start);
        if (end < 0)
            end = size;
        result.append(QStringView(text).mid(start, end - start));
        result.append(QLatin1String("\r\n"));
        start = end + 1;
        if (end < size && start < size && text.at(start) == QLatin1Char('\n'))
            ++start;
    }
    return result;
}

namespace {

// A cut at the display limit may split a multi-byte character; leave the
// broken tail out so that the encoding is still recognised.
QByteArray withoutBrokenUtf8Tail(const QByteArray &bytes) {
    for (int drop = 0; drop < 4 && drop < bytes.size(); ++drop) {
        const QByteArray candidate = bytes.left(bytes.size() - drop);
        if (encoding::isValidUtf8(candidate))
            return candidate;
    }
    return bytes;
}

} // namespace

Result readForDisplay(const FileSystem &fs, const QString &path, DisplayText &result, qint64 limit) {
    QByteArray bytes;
    bool truncated = false;
    const Result read = fs.readFile(path, limit, bytes, truncated);
    if (!read)
        return read;
    if (truncated)
        bytes = withoutBrokenUtf8Tail(bytes);
    result.text = linesForDisplay(encoding::decodeRecordBytes(bytes));
    result.truncated = truncated;
    return read;
}

} // namespace varnotel
