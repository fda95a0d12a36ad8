// Selecting a journal in List1, by every route a person (or the program) takes.
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QPushButton>
#include <QtTest>

#include <functional>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// How the selection is made, on a window showing Acta, Cell, Nature and, from
// the subfolder Journal/old, the blank entry, in this order.
struct Route {
    std::function<void(Form1 &)> act;
    std::optional<QString> shown; // the journal whose fields end up in the boxes
};

void press(Form1 &w, Qt::Key key) { QTest::keyClick(w.List1, key); }

// Acta is complete; Cell has neither IF file nor example folder; Nature's IF
// file was edited.
void makeLibrary(const TempLibrary &lib) {
    for (const QStringView name : {u"Acta", u"Cell", u"Nature"})
        lib.addJournal(name);
    lib.write(u"Journal/old/.txt", quoted({}));
    QVERIFY(lib.remove(u"IF/Cell.txt"));
    lib.write(u"IF/Nature.txt", "\"IF: 64.8\"\r\n");
    lib.write(u"Example/Acta/a.pdf", "a");
    lib.write(u"Example/Nature/n.pdf", "n");
}

struct Shown {
    QStringList boxes;
    QStringList articles;
    QStringList created; // below the application folder, as the selection leaves them
};

Shown expectedFor(const QString &name) {
    if (name == u"Acta")
        return {{u"\"IF:\"\r\n"_s, u"\"http:\"\r\n"_s, u"\"Acta:\"\r\n"_s}, {u"a.pdf"_s}, {}};
    if (name == u"Cell")
        return {{u"\"IF:\"\r\n"_s, u"\"http:\"\r\n"_s, u"\"Cell:\"\r\n"_s},
                {},
                {u"Example/Cell/"_s, u"IF/Cell.txt"_s}};
    if (name == u"Nature")
        return {{u"\"IF: 64.8\"\r\n"_s, u"\"http:\"\r\n"_s, u"\"Nature:\"\r\n"_s}, {u"n.pdf"_s}, {}};
    // The blank entry: its field files are the blank-name ones, its example
    // folder Example itself.
    return {{u"\"IF:\"\r\n"_s, u"\"http:\"\r\n"_s, u"\":\"\r\n"_s},
            {u"a.pdf"_s, u"n.pdf"_s},
            {u"Homepage/.txt"_s, u"IF/.txt"_s, u"Notes/.txt"_s}};
}

} // namespace

Q_DECLARE_METATYPE(Route)

class SelectionTest : public QObject {
    Q_OBJECT
private slots:
    void everyRouteShowsTheSelectedJournal_data();
    void everyRouteShowsTheSelectedJournal();
    void aSecondClickOnTheSameJournalReadsItAgain();
};

void SelectionTest::everyRouteShowsTheSelectedJournal_data() {
    QTest::addColumn<Route>("route");
    const auto nothing = std::nullopt;
    QTest::newRow("click") << Route{[](Form1 &w) { clickRow(w.List1, 1); }, u"Cell"_s};
    QTest::newRow("click, then another") << Route{[](Form1 &w) {
                                                      clickRow(w.List1, 0);
                                                      clickRow(w.List1, 2);
                                                  },
                                                  u"Nature"_s};
    QTest::newRow("arrow down") << Route{[](Form1 &w) {
                                             clickRow(w.List1, 0);
                                             press(w, Qt::Key_Down);
                                         },
                                         u"Cell"_s};
    QTest::newRow("arrow up") << Route{[](Form1 &w) {
                                           clickRow(w.List1, 2);
                                           press(w, Qt::Key_Up);
                                       },
                                       u"Cell"_s};
    QTest::newRow("Home") << Route{[](Form1 &w) {
                                       clickRow(w.List1, 2);
                                       press(w, Qt::Key_Home);
                                   },
                                   u"Acta"_s};
    QTest::newRow("End") << Route{[](Form1 &w) {
                                      clickRow(w.List1, 0);
                                      press(w, Qt::Key_End);
                                  },
                                  QString()};
    QTest::newRow("Page Down") << Route{[](Form1 &w) {
                                            clickRow(w.List1, 0);
                                            press(w, Qt::Key_PageDown);
                                        },
                                        QString()};
    // A character key rebuilds the list; its type-ahead then picks the journal.
    QTest::newRow("type-ahead") << Route{[](Form1 &w) {
                                             w.List1->setFocus();
                                             QTest::keyClick(w.List1, Qt::Key_N);
                                         },
                                         u"Nature"_s};
    QTest::newRow("setListIndex") << Route{[](Form1 &w) { w.List1->setListIndex(2); }, u"Nature"_s};
    QTest::newRow("the blank entry") << Route{[](Form1 &w) { clickRow(w.List1, 3); }, QString()};
    QTest::newRow("below the last row") << Route{[](Form1 &w) { clickBelowLastRow(w.List1); }, nothing};
    // Tab makes a row current without selecting it.
    QTest::newRow("Tab into the list") << Route{[](Form1 &w) {
                                                    w.Command2->setFocus();
                                                    QTest::keyClick(w.Command2, Qt::Key_Tab);
                                                },
                                                nothing};
}

// What the person sees is the journal that is selected, and the only files
// written are the missing defaults of that journal.
void SelectionTest::everyRouteShowsTheSelectedJournal() {
    QFETCH(Route, route);
    TempLibrary lib;
    makeLibrary(lib);
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    const QStringList before = lib.tree();
    route.act(w);
    QCOMPARE(w.currentJournal(), route.shown);
    QStringList tree = before;
    if (route.shown) {
        const Shown expected = expectedFor(*route.shown);
        QCOMPARE(w.List1->text(), *route.shown);
        QCOMPARE(w.List1->toolTip(), *route.shown);
        QCOMPARE(boxes(w), expected.boxes);
        QCOMPARE(w.List3->items(), expected.articles);
        tree += expected.created;
        tree.sort();
    } else {
        QCOMPARE(boxes(w), QStringList(3));
        QCOMPARE(w.List3->items(), QStringList());
    }
    QCOMPARE(lib.tree(), tree);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

// Clicking the selected journal again shows what its files hold now.
void SelectionTest::aSecondClickOnTheSameJournalReadsItAgain() {
    TempLibrary lib;
    makeLibrary(lib);
    ShownWindow shown(lib.appDir());
    clickRow(shown.window.List1, 2);
    lib.write(u"IF/Nature.txt", "\"IF: 50.5\"\r\n");
    lib.write(u"Example/Nature/m.pdf", "m");
    clickRow(shown.window.List1, 2);
    QCOMPARE(shown.window.Text3->text(), u"\"IF: 50.5\"\r\n"_s);
    QCOMPARE(shown.window.List3->items(), (QStringList{u"m.pdf"_s, u"n.pdf"_s}));
}

QTEST_MAIN(SelectionTest)
#include "tst_selection.moc"
