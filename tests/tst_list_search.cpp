// The lists' own search finds what Qt's generic search finds, so the
// type-ahead of the journal list behaves as Qt's does.
#include "mainwindow/ListBox.h"

#include <QStringListModel>
#include <QtTest>

using namespace varnotel;
using namespace Qt::StringLiterals;

class ListSearchTest : public QObject {
    Q_OBJECT
private slots:
    void findsWhatQtsSearchFinds();
};

// Every start row, typed texts that match at the top, in the middle, only by
// case, only after wrapping, or nowhere; with and without wrapping and case.
void ListSearchTest::findsWhatQtsSearchFinds() {
    const QStringList journals{u"Acta"_s,     u"acta B"_s, u"Cell"_s, u"Nature"_s, u"nano Letters"_s,
                               u"物理学报"_s, u""_s,       u"Ätna"_s, u"Zeta"_s,   u"Nature Physics"_s};
    ListBox list;
    list.addItems(journals);
    QStringListModel reference(journals);
    const QStringList typed{u"a"_s, u"A"_s, u"na"_s, u"NAT"_s, u"物理"_s,
                            u"ä"_s, u"z"_s, u"x"_s,  u""_s,    u"Nature P"_s};
    const QList<Qt::MatchFlags> flagSets{Qt::MatchStartsWith | Qt::MatchWrap, Qt::MatchStartsWith,
                                         Qt::MatchStartsWith | Qt::MatchCaseSensitive | Qt::MatchWrap,
                                         Qt::MatchContains | Qt::MatchWrap};
    for (int start = 0; start < journals.size(); ++start) {
        for (const QString &text : typed) {
            for (const Qt::MatchFlags flags : flagSets) {
                for (const int hits : {1, -1}) {
                    const auto rows = [](const QModelIndexList &found) {
                        QList<int> result;
                        for (const QModelIndex &index : found)
                            result << index.row();
                        return result;
                    };
                    QCOMPARE(
                        rows(list.model()->match(list.model()->index(start, 0), Qt::DisplayRole, text, hits,
                                                 flags)),
                        rows(reference.match(reference.index(start, 0), Qt::DisplayRole, text, hits, flags)));
                }
            }
        }
    }
}

QTEST_MAIN(ListSearchTest)
#include "tst_list_search.moc"
