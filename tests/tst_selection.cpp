// Selecting a journal in List1, by every route a person takes, and what the
// window shows of it, or tells when it cannot. The skip-to box is one of the
// routes: what is typed there selects the first journal, then the first of
// its example articles, that begins with the text.
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include <QWheelEvent>
#include <QtTest>

#include <numeric>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

struct Route {
    QList<Step> steps;
    std::optional<QString> journal = {}; // selected afterwards, its files in the boxes
    QString article = {};                // selected afterwards in List3
};

const QMap<QString, QStringList> kArticles{{u"Cell"_s, {u"natural history.pdf"_s, u"x-ray.pdf"_s}},
                                           {u"Nature"_s, {u"Letter layout.pdf"_s, u"nature methods.pdf"_s}},
                                           {u"Nano Letters"_s, {u"Nanowires.pdf"_s}}};

// The list reads Acta, Cell, Nano Letters, Nature, then the blank
// entry from the subfolder Journal/old. Acta has neither IF file nor example
// folder.
ShownWindow &startOnLibrary(Session &s) {
    for (const QStringView name : {u"Acta", u"Cell", u"Nano Letters", u"Nature"})
        s.lib.addJournal(name);
    s.lib.write(u"Journal/old/.txt", quoted({}));
    s.lib.remove(u"IF/Acta.txt");
    for (auto journal = kArticles.cbegin(); journal != kArticles.cend(); ++journal)
        for (const QString &article : journal.value())
            s.lib.write(u"Example/"_s + journal.key() + u'/' + article, "a");
    return s.start();
}

bool inView(ListBox *l) { return l->viewport()->rect().contains(l->visualRect(l->currentIndex())); }

} // namespace

Q_DECLARE_METATYPE(Route)

class SelectionTest : public QObject {
    Q_OBJECT
private slots:
    void everyRouteShowsTheSelectedJournal_data();
    void everyRouteShowsTheSelectedJournal();
    void failuresOfOneSelectionAreToldInOneReport();
    void skipToScrollsTheFoundRowsIntoView();
};

void SelectionTest::everyRouteShowsTheSelectedJournal_data() {
    QTest::addColumn<Route>("route");
    const auto click = [](int row) -> Step { return [row](Session &s) { clickRow(s.ui().List1, row); }; };
    const auto key = [](Qt::Key k) -> Step { return [k](Session &s) { QTest::keyClick(s.ui().List1, k); }; };
    // Into the skip-to box; "\b" deletes a letter.
    const auto typed = [](auto t) -> Step { return [t](Session &s) { QTest::keyClicks(s.ui().Text1, t); }; };
    const Step removeActasIF = [](Session &s) { s.lib.remove(u"IF/Acta.txt"); };
    const QString nano = u"Nano Letters"_s, nature = u"Nature"_s, methods = u"nature methods.pdf"_s;
    QTest::newRow("click, then another") << Route{{click(1), click(3)}, nature};
    QTest::newRow("arrow up") << Route{{click(1), key(Qt::Key_Up)}, u"Acta"_s};
    QTest::newRow("End: the blank entry") << Route{{click(1), key(Qt::Key_End)}, QString()};
    // A character key rebuilds the list; its type-ahead then picks the journal.
    QTest::newRow("type-ahead") << Route{{key(Qt::Key_N)}, nano};
    // The selected row picked again reads the journal's files again.
    QTest::newRow("the same row clicked") << Route{{click(0), removeActasIF, click(0)}, u"Acta"_s};
    QTest::newRow("the same row skipped to") << Route{{click(0), removeActasIF, typed(u"a"_s)}, u"Acta"_s};
    QTest::newRow("below the last row") << Route{{[](Session &s) { clickBelowLastRow(s.ui().List1); }}};
    // Tab from the blog button makes a row of the list current without selecting it.
    QTest::newRow("Tab in") << Route{{[](Session &s) { QTest::keyClick(s.ui().Command2, Qt::Key_Tab); }}};
    // The selection follows the text as letters are deleted.
    QTest::newRow("skip back to Na") << Route{{typed(u"Natu\b\b"_s)}, nano, u"Nanowires.pdf"_s};
    QTest::newRow("skip to upper case") << Route{{typed(u"NANO L"_s)}, nano};
    QTest::newRow("skip to a journal and its article") << Route{{click(1), typed(u"nat"_s)}, nature, methods};
    QTest::newRow("skip to an article") << Route{{click(1), typed(u"x-r"_s)}, u"Cell"_s, u"x-ray.pdf"_s};
    QTest::newRow("skip to more than any item") << Route{{click(1), typed(u"cellular"_s)}, u"Cell"_s};
    QTest::newRow("skip-to box cleared")
        << Route{{click(1), typed(u"x-r\b\b\b"_s)}, u"Cell"_s, u"x-ray.pdf"_s};
}

// What the person sees is the journal that is selected, and the only entries
// made are the missing defaults of that journal. The blank entry's example
// folder is Example itself.
void SelectionTest::everyRouteShowsTheSelectedJournal() {
    QFETCH(const Route, route);
    Session s;
    ShownWindow &shown = startOnLibrary(s);
    const Snapshot before = s.lib.snapshot();
    for (const Step &step : route.steps)
        step(s);
    const QString name = route.journal.value_or(u"<none>"_s);
    const QMap<QString, QStringList> made{{u"Acta"_s, {u"Example/Acta/"_s, u"IF/Acta.txt"_s}},
                                          {QString(), {u"Homepage/.txt"_s, u"IF/.txt"_s, u"Notes/.txt"_s}}};
    const QStringList all = std::accumulate(kArticles.cbegin(), kArticles.cend(), QStringList());
    QCOMPARE(shown.window.currentJournal(), route.journal);
    // The three boxes, then the name in the list's tooltip.
    const QStringList texts{u"\"IF:\"\r\n"_s, u"\"http:\"\r\n"_s, u"\"%1:\"\r\n"_s.arg(name), name};
    QCOMPARE(boxes(shown) << shown.ui.List1->toolTip(), route.journal ? texts : QStringList(4));
    QCOMPARE(shown.ui.List3->items(), name.isEmpty() ? all : kArticles.value(name));
    QCOMPARE(shown.ui.List3->text(), route.article);
    QCOMPARE(changeBetween(before, s.lib.snapshot()), (TreeChange{made.value(name), {}, {}}));
    QVERIFY(shown.seams.errors.reports.isEmpty());
}

// A box whose file cannot be read is emptied rather than left with another
// journal's text, and what was completed meanwhile is taken back.
void SelectionTest::failuresOfOneSelectionAreToldInOneReport() {
    Session s;
    ShownWindow &shown = startOnLibrary(s);
    clickRow(shown.ui.List1, 1);
    s.lib.remove(u"Notes");
    shown.seams.fs.failOn(FaultyFileSystem::Op::Read, shown.seams.fs.calls(FaultyFileSystem::Op::Read));
    const Snapshot before = s.lib.snapshot();
    clickRow(shown.ui.List1, 0);
    QCOMPARE(changeBetween(before, s.lib.snapshot()), TreeChange{});
    QCOMPARE(shown.seams.errors.kinds(), (Kinds{{FailureKind::CannotRead, FailureKind::CannotCreate}}));
    QCOMPARE(boxes(shown), (QStringList{QString(), u"\"http:\"\r\n"_s, QString()}));
    QCOMPARE(shown.ui.List3->items(), QStringList());
}

// Also when the journal found is the one already selected, after the person
// scrolled it away with the wheel.
void SelectionTest::skipToScrollsTheFoundRowsIntoView() {
    Session s;
    for (int i = 10; i < 90; ++i) {
        s.lib.addJournal(u"Acta "_s + QString::number(i));
        s.lib.write(u"Example/Zoology/draft "_s + QString::number(i) + u".pdf"_s, "z");
    }
    s.lib.addJournal(u"Zoology");
    s.lib.write(u"Example/Zoology/zoo notes.pdf", "z");
    ShownWindow &shown = s.start();
    QTest::keyClicks(shown.ui.Text1, u"z"_s);
    QWheelEvent wheel({10, 10}, {}, {}, {0, 120 * 50}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(shown.ui.List1->viewport(), &wheel);
    QVERIFY(!inView(shown.ui.List1));
    QTest::keyClicks(shown.ui.Text1, u"o"_s);
    QCOMPARE(shown.ui.List3->text(), u"zoo notes.pdf"_s);
    QVERIFY(inView(shown.ui.List1) && inView(shown.ui.List3));
}

QTEST_MAIN(SelectionTest)
#include "tst_selection.moc"
