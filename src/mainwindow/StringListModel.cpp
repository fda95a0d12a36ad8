#include "mainwindow/StringListModel.h"

#include "platform/FileNames.h"

namespace varnotel {

namespace {

// A person types what the list shows: the name as it reads, its control
// characters written out. For an everyday name that is the name itself, and
// no copy is made.
bool beginsWith(const QString &item, const QString &text, Qt::CaseSensitivity cs) {
    return displayName(item).startsWith(text, cs);
}

} // namespace

QVariant StringListModel::data(const QModelIndex &index, int role) const {
    if (role == Qt::DisplayRole && index.isValid() && index.row() < rowCount())
        return displayName(stringList().at(index.row()));
    return QStringListModel::data(index, role);
}

// The same rows in the same order as the generic search: from the start row
// to the end, then, when wrapping, from the top to the start row.
QModelIndexList StringListModel::match(const QModelIndex &start, int role, const QVariant &value, int hits,
                                       Qt::MatchFlags flags) const {
    const bool beginning = (flags & Qt::MatchTypeMask) == Qt::MatchStartsWith;
    if (!beginning || (role != Qt::DisplayRole && role != Qt::EditRole) || start.parent().isValid() ||
        start.column() != 0 || flags.testFlag(Qt::MatchRecursive))
        return QStringListModel::match(start, role, value, hits, flags);
    const QString text = value.toString();
    const Qt::CaseSensitivity cs =
        flags.testFlag(Qt::MatchCaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QStringList &items = stringList();
    QModelIndexList result;
    qsizetype from = start.row();
    qsizetype to = items.size();
    for (int pass = 0; pass < (flags.testFlag(Qt::MatchWrap) ? 2 : 1); ++pass) {
        for (qsizetype row = from; row < to && (hits == -1 || result.size() < hits); ++row) {
            if (beginsWith(items.at(row), text, cs))
                result.append(index(int(row)));
        }
        from = 0;
        to = start.row();
    }
    return result;
}

} // namespace varnotel
