#pragma once

#include <QStringListModel>

namespace varnotel {

// A string-list model whose search reads the strings themselves. The list's
// type-ahead asks the model for the first item beginning with what was typed;
// the generic search wraps every item in a QVariant, which cost milliseconds
// in a list of 40,000 journals whenever nothing matched. The items are names
// on disk, kept byte for byte; a person sees (and types) them as text.
class StringListModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;

    QVariant data(const QModelIndex &index, int role) const override;

    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith |
                                                                Qt::MatchWrap)) const override;
};

} // namespace varnotel
