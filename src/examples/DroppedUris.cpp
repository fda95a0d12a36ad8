#include "examples/DroppedUris.h"

#include "platform/FileNames.h"

#include <QSysInfo>

namespace varnotel {

namespace {

// A file URI names this machine when its host is empty, "localhost" or the
// machine's own name; its path is what follows, percent-decoded to bytes.
bool isLocalHost(const QByteArray &host) {
    return host.isEmpty() || host.compare("localhost", Qt::CaseInsensitive) == 0 ||
           host.compare(QSysInfo::machineHostName().toUtf8(), Qt::CaseInsensitive) == 0;
}

} // namespace

DroppedUris parseUriList(const QByteArray &uriList) {
    DroppedUris dropped;
    for (const QByteArray &raw : uriList.split('\n')) {
        const QByteArray line = raw.trimmed(); // lines end in CR LF
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const bool file = line.left(7).compare("file://", Qt::CaseInsensitive) == 0;
        const qsizetype slash = file ? line.indexOf('/', 7) : -1;
        const QByteArray path = slash < 0 ? QByteArray() : QByteArray::fromPercentEncoding(line.mid(slash));
        if (slash >= 0 && isLocalHost(line.mid(7, slash - 7)) && !path.contains('\0'))
            dropped.files << nameFromBytes(path);
        else
            dropped.others << QString::fromUtf8(line);
    }
    return dropped;
}

} // namespace varnotel
