// Every listing, and so every list of the window, orders names as Qt compares
// them: case-insensitively, ties by exact name. The input is UTF-16, one name
// a line, so that letters beyond the first plane, lone surrogates (the bytes
// of a name that is not UTF-8) and letters that fold to others all meet.
#include "Check.h"
#include "platform/FolderListing.h"

#include <QString>

#include <algorithm>

using namespace varnotel;

namespace {

bool inQtsOrder(const QString &a, const QString &b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a <= b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QString text(reinterpret_cast<const QChar *>(data), static_cast<qsizetype>(size / 2));
    QList<DirEntry> entries;
    QStringList names = text.split(QLatin1Char('\n'));
    for (const QString &name : names) {
        DirEntry entry;
        entry.name = name;
        entries.append(entry);
    }
    posix::sortByName(entries);
    QStringList sorted;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        sorted << entries.at(i).name;
        if (i > 0)
            FUZZ_CHECK(inQtsOrder(entries.at(i - 1).name, entries.at(i).name));
    }
    std::sort(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(sorted == names); // each name once, none lost or made up
    return 0;
}
