// Any name found on disk turns back into exactly its bytes; a name that is
// UTF-8 is the text it spells; what a person is shown holds no stand-in for
// a byte.
#include "Check.h"
#include "platform/FileNames.h"

#include <QByteArray>
#include <QString>

using namespace varnotel;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = nameFromBytes(bytes);
    FUZZ_CHECK(bytesFromName(name) == bytes);
    const bool utf8 = QString::fromUtf8(bytes).toUtf8() == bytes;
    FUZZ_CHECK(hasForeignBytes(name) == !utf8);
    if (utf8)
        FUZZ_CHECK(name == QString::fromUtf8(bytes));
    FUZZ_CHECK(!hasForeignBytes(displayName(name)));
    // A name typed by a person (any text without stand-ins) is written as UTF-8.
    const QString typed = QString::fromUtf8(bytes);
    FUZZ_CHECK(bytesFromName(typed) == typed.toUtf8());
    return 0;
}
