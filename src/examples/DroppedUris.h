#pragma once

#include <QByteArray>
#include <QStringList>

namespace varnotel {

// What a file manager drops, as its text/uri-list names it: the local files,
// their paths keeping the exact bytes their percent-encoding spells (also
// bytes that are not UTF-8), and every other address as it was written.
struct DroppedUris {
    QStringList files;
    QStringList others;
};

DroppedUris parseUriList(const QByteArray &uriList);

} // namespace varnotel
