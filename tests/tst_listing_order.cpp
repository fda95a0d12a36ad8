// Every listing, and so every list of the window, orders names as Qt compares
// them: case-insensitively, ties by exact name.
#include "platform/PosixFileSystem.h"
#include "support/TempLibrary.h"

#include <QtTest>

#include <algorithm>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

class ListingOrderTest : public QObject {
    Q_OBJECT
private slots:
    void namesAreOrderedAsQtComparesThem();
};

// Letters that fold to others (the Kelvin sign, a ligature, final sigma, a
// title-case digraph), letters beyond the first plane with and without a case,
// and names alike but for case or length.
void ListingOrderTest::namesAreOrderedAsQtComparesThem() {
    const QStringList stems{u"a"_s,
                            u"A"_s,
                            u"b"_s,
                            u"B"_s,
                            u"ä"_s,
                            u"Ä"_s,
                            u"ß"_s,
                            u"SS"_s,
                            u"ss"_s,
                            u"Σ"_s,
                            u"σ"_s,
                            u"ς"_s,
                            u"ǅ"_s,
                            u"ǆ"_s,
                            u"ﬁ"_s,
                            u"fi"_s,
                            u"Ａ"_s,
                            u"𝒜"_s,
                            u"𐐀"_s,
                            u"𐐨"_s,
                            u"İ"_s,
                            u"ı"_s,
                            u"K"_s,
                            u"k"_s,
                            u"期刊"_s,
                            u"_x"_s,
                            u"10"_s,
                            u"9"_s,
                            u"~"_s,
                            u"Journal of X"_s,
                            u"journal of x"_s,
                            u"Journal of X 2"_s};
    TempLibrary lib;
    QStringList names;
    for (const QString &stem : stems) {
        names << stem + u".pdf"_s << stem + u"0.pdf"_s;
        lib.write(u"Example/"_s + names.at(names.size() - 2), "x");
        lib.write(u"Example/"_s + names.last(), "x");
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    PosixFileSystem disk;
    QStringList listed;
    for (const DirEntry &entry : disk.entries(lib.path(u"Example")))
        listed << entry.name;
    QCOMPARE(listed, names);
}

QTEST_GUILESS_MAIN(ListingOrderTest)
#include "tst_listing_order.moc"
