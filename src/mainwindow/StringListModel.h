#pragma once

#include <QStringListModel>

namespace varnotel {

// A string-list model whose search reads the strings themselves. The list's
// type-ahead asks the model for the first item beginning with what was typed;
// the generic search wraps every item in a QVariant, which cost milliseconds
// in a list of 40,000 journals whenever nothing matched.
class StringListModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;

    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith |
                                                                Qt::MatchWrap)) const override;
};

} // namespace varnotel
