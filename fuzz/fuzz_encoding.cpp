// The UTF-8 check agrees with Qt's decoder: bytes are UTF-8 exactly when they
// come back unchanged through QString; code page 936 text written by the
// program reads back as the same text; and any text saved as UTF-16 with its
// byte-order mark, either way round, reads back as that text.
#include "Check.h"
#include "library/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

using namespace varnotel;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const bool valid = encoding::isValidUtf8(bytes);
    FUZZ_CHECK(valid == (QString::fromUtf8(bytes).toUtf8() == bytes));
    if (valid) {
        const QString text = QString::fromUtf8(bytes);
        const QByteArray gbk = encoding::encodeForCodeset(text, "GB18030");
        if (!encoding::isValidUtf8(gbk))
            FUZZ_CHECK(encoding::decodeRecordBytes(gbk) == text);
        for (const auto utf16 : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            QStringEncoder withMark(utf16, QStringConverter::Flag::WriteBom);
            const QByteArray saved = withMark(text);
            FUZZ_CHECK(text.isEmpty() || encoding::decodeRecordBytes(saved) == text);
        }
    }
    return 0;
}
