#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace varnotel {

// Names on disk are bytes. A name that is UTF-8 becomes the text it spells;
// every byte of a name that is not UTF-8 (a catalogue unpacked from an archive
// made on a Chinese-language Windows system holds GBK names) becomes a
// character of its own that stands for that byte and nothing else, so the
// name turns back into exactly its bytes for every operation on it.
QString nameFromBytes(QByteArrayView bytes);
QByteArray bytesFromName(const QString &name);

// Whether the name holds bytes that were not UTF-8.
bool hasForeignBytes(const QString &name);

// What a person is shown for a name: the name itself, or, when its bytes are
// not UTF-8, the bytes read as GB18030 (code page 936), as the record files'
// text is read; bytes that are neither show as U+FFFD. Control characters
// show as visibleText shows them, so a name always stands on one line.
QString displayName(const QString &name);

// Text with every control character written out: \n, \r, \t, and \x1B or
// \u0085 for the others, so that a name or a file's content quoted in a
// list, a tooltip or a message shows on one line and moves no cursor.
QString visibleText(const QString &text);

} // namespace varnotel
