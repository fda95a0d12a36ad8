// The lists behave as Qt's own: every listing, and so every list of the
// window, orders names as Qt compares them (case-insensitively, ties by exact
// name), and the lists' own search finds what Qt's generic search finds over what they show, so
// the journal list's type-ahead behaves as Qt's does. The first byte chooses
// which is checked on the rest.
#include "Check.h"
#include "mainwindow/StringListModel.h"
#include "platform/FolderListing.h"

#include <QAbstractItemModel>

#include <algorithm>

using namespace varnotel;

namespace {

bool inQtsOrder(const QString &a, const QString &b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a <= b;
}

// UTF-16, one name a line, so that letters beyond the first plane, lone
// surrogates (the bytes of a name that is not UTF-8) and letters that fold to
// others all meet.
void checkOrder(const unsigned char *data, size_t size) {
    QStringList names = QString(reinterpret_cast<const QChar *>(data), static_cast<qsizetype>(size / 2))
                            .split(QLatin1Char('\n'));
    QList<DirEntry> entries;
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
}

const Qt::MatchFlags kSearches[] = {Qt::MatchStartsWith | Qt::MatchWrap, Qt::MatchStartsWith,
                                    Qt::MatchStartsWith | Qt::MatchCaseSensitive | Qt::MatchWrap,
                                    Qt::MatchContains | Qt::MatchWrap};

QList<int> rows(const QModelIndexList &found) {
    QList<int> result;
    for (const QModelIndex &index : found)
        result << index.row();
    return result;
}

// A start row, a choice of search and of hits, then the typed text and the
// items, one a line.
void checkSearch(const unsigned char *data, size_t size) {
    if (size < 2)
        return;
    QStringList items =
        QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, static_cast<qsizetype>(size - 2))
            .split(QLatin1Char('\n'));
    const QString typed = items.takeFirst();
    if (items.isEmpty())
        return;
    const int start = data[0] % items.size();
    const Qt::MatchFlags flags = kSearches[data[1] % 4];
    const int hits = data[1] & 4 ? -1 : 1 + (data[1] >> 3) % 3;
    StringListModel own(items);
    FUZZ_CHECK(rows(own.match(own.index(start), Qt::DisplayRole, typed, hits, flags)) ==
               rows(own.QAbstractItemModel::match(own.index(start), Qt::DisplayRole, typed, hits, flags)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    if (size < 1)
        return 0;
    if (data[0] & 1)
        checkSearch(data + 1, size - 1);
    else
        checkOrder(data + 1, size - 1);
    return 0;
}
