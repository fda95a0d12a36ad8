#pragma once

#include <QString>
#include <QStringList>

namespace varnotel {

// What a command line of the program asks for, read back from its Windows form.
struct StartRequest {
    enum class Kind { Unknown, OpenFile, Browse };
    Kind kind = Kind::Unknown;
    QString path;          // OpenFile: the text between the quotes, unchanged
    QStringList arguments; // Browse: the browser's arguments, split as Windows splits them
};

StartRequest parseStartRequest(const QString &commandLine);

} // namespace varnotel
