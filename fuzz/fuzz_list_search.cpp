// The lists' own search finds what Qt's generic search finds, so the journal
// list's type-ahead behaves as Qt's does. The input is a start row, a choice
// of search and of hits, then the typed text and the items, one a line.
#include "Check.h"
#include "mainwindow/StringListModel.h"

#include <QStringListModel>

using namespace varnotel;

namespace {

const Qt::MatchFlags kSearches[] = {Qt::MatchStartsWith | Qt::MatchWrap, Qt::MatchStartsWith,
                                    Qt::MatchStartsWith | Qt::MatchCaseSensitive | Qt::MatchWrap,
                                    Qt::MatchContains | Qt::MatchWrap};

QList<int> rows(const QModelIndexList &found) {
    QList<int> result;
    for (const QModelIndex &index : found)
        result << index.row();
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    if (size < 2)
        return 0;
    QStringList items =
        QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, static_cast<qsizetype>(size - 2))
            .split(QLatin1Char('\n'));
    const QString typed = items.takeFirst();
    if (items.isEmpty())
        return 0;
    const int start = data[0] % items.size();
    const Qt::MatchFlags flags = kSearches[data[1] % 4];
    const int hits = data[1] & 4 ? -1 : 1 + (data[1] >> 3) % 3;
    StringListModel own(items);
    QStringListModel reference(items);
    FUZZ_CHECK(rows(own.match(own.index(start), Qt::DisplayRole, typed, hits, flags)) ==
               rows(reference.match(reference.index(start), Qt::DisplayRole, typed, hits, flags)));

    return 0;
}
