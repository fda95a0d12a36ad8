// A live catalogue: what other programs change in the library shows in the
// window by itself, without Refresh, and what the person selected stays
// selected. Nothing is written for it. A library on a disk taken away and
// brought back shows as it is, told once.
#include "library/Statistics.h"
#include "support/WindowDriver.h"

#include <QScrollBar>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

// Long enough for the news to arrive and be shown, on a slow machine too.
constexpr int kWithinMs = 5000;

class LiveTest : public QObject {
    Q_OBJECT
private slots:
    void changesMadeOutsideShowByThemselves();
};

void LiveTest::changesMadeOutsideShowByThemselves() {
    Session s;
    for (int i = 0; i < 60; ++i)
        s.lib.addJournal(u"Journal %1"_s.arg(i, 2, 10, QLatin1Char('0')));
    s.lib.addJournal(u"Nature");
    s.lib.write(u"IF/Nature.txt", "\"41.5\"\r\n");
    s.lib.write(u"Example/Nature/a.pdf", "a");
    ShownWindow &shown = s.start();
    ListBox *list1 = shown.ui.List1;
    clickRow(list1, rowShowing(list1, u"Nature"_s));
    clickRow(shown.ui.List3, rowShowing(shown.ui.List3, u"a.pdf"_s));
    const int scrolled = list1->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);

    // An editor saves the IF file; a file manager adds a journal and an article.
    s.lib.write(u"IF/Nature.txt", "\"44.1\"\r\n");
    s.lib.addJournal(u"Bio");
    s.lib.write(u"Example/Nature/0.pdf", "0");
    QTRY_COMPARE_WITH_TIMEOUT(shown.ui.Text3->text(), u"\"44.1\"\r\n"_s, kWithinMs);
    QTRY_COMPARE_WITH_TIMEOUT(shown.ui.List3->items(), (QStringList{u"0.pdf"_s, u"a.pdf"_s}), kWithinMs);
    QTRY_VERIFY_WITH_TIMEOUT(list1->items().contains(u"Bio"_s), kWithinMs);
    QCOMPARE(list1->text(), u"Nature"_s);
    QCOMPARE(shown.ui.List3->text(), u"a.pdf"_s);
    QCOMPARE(list1->verticalScrollBar()->value(), scrolled);

    // Its notes file goes: the box keeps its text, and the file is not made again.
    const QString notes = shown.ui.Text4->text();
    s.lib.remove(u"Notes/Nature.txt");
    s.lib.write(u"Example/Nature/b.pdf", "b");
    QTRY_COMPARE_WITH_TIMEOUT(shown.ui.List3->listCount(), 3, kWithinMs);
    QCOMPARE(shown.ui.Text4->text(), notes);
    QVERIFY(!s.lib.exists(u"Notes/Nature.txt"));

    // The journal goes: no selection is left, its boxes keep their text.
    s.lib.remove(u"Journal/Nature.txt");
    QTRY_VERIFY_WITH_TIMEOUT(!list1->items().contains(u"Nature"_s), kWithinMs);
    QCOMPARE(list1->listIndex(), -1);
    QCOMPARE(shown.ui.List3->listCount(), 0);
    QCOMPARE(shown.ui.Text3->text(), u"\"44.1\"\r\n"_s);

    // The disk holding the library is taken away and brought back: the
    // window shows it as it is, and says so once.
    const QStringList whole = libraryShown(shown);
    QTRY_VERIFY(!shown.window.settingUpWatches());
    const auto move = [&](const QString &from, const QString &to) {
        for (const QString &folder : {u"Journal"_s, u"Example"_s})
            QVERIFY(QDir(s.lib.appDir()).rename(folder + from, folder + to));
    };
    move({}, u".away"_s);
    QTRY_COMPARE_WITH_TIMEOUT(shown.ui.List1->listCount(), 0, kWithinMs);
    QTest::qWait(2500); // meanwhile the missing folders are asked for again, and not told of again
    move(u".away"_s, {});
    QTRY_COMPARE_WITH_TIMEOUT(libraryShown(shown), whole, kWithinMs);
    QCOMPARE(shown.seams.errors.kinds(), QList<QList<FailureKind>>{{FailureKind::LibraryGone}});
}

QTEST_MAIN(LiveTest)
#include "tst_live.moc"
