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
using Step = std::function<void(Form1 &, const TempLibrary &)>;
struct Route {
    QList<Step> steps;
    std::optional<QString> shown; // the journal whose fields end up in the boxes
};

Step click(int row) {
    return [row](Form1 &w, const TempLibrary &) { clickRow(w.List1, row); };
}
Step press(Qt::Key key) {
    return [key](Form1 &w, const TempLibrary &) { QTest::keyClick(w.List1, key); };
}

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
    QStringList articles;
    QStringList created; // below the application folder, as the selection leaves them
};

// The blank entry's field files are the blank-name ones, its example folder
// Example itself.
Shown expectedFor(const QString &name) {
    if (name == u"Acta" || name == u"Nature")
        return {{name == u"Acta" ? u"a.pdf"_s : u"n.pdf"_s}, {}};
    if (name == u"Cell")
        return {{}, {u"Example/Cell/"_s, u"IF/Cell.txt"_s}};
    return {{u"a.pdf"_s, u"n.pdf"_s}, {u"Homepage/.txt"_s, u"IF/.txt"_s, u"Notes/.txt"_s}};
}

} // namespace

Q_DECLARE_METATYPE(Route)

class SelectionTest : public QObject {
    Q_OBJECT
private slots:
    void everyRouteShowsTheSelectedJournal_data();
    void everyRouteShowsTheSelectedJournal();
};

void SelectionTest::everyRouteShowsTheSelectedJournal_data() {
    QTest::addColumn<Route>("route");
    const auto nothing = std::nullopt;
    const Step setListIndex = [](Form1 &w, const TempLibrary &) { w.List1->setListIndex(2); };
    const Step removeCellsIF = [](Form1 &, const TempLibrary &lib) { lib.remove(u"IF/Cell.txt"); };
    const Step clickBelow = [](Form1 &w, const TempLibrary &) { clickBelowLastRow(w.List1); };
    // Tab makes a row current without selecting it.
    const Step tabIn = [](Form1 &w, const TempLibrary &) {
        w.Command2->setFocus();
        QTest::keyClick(w.Command2, Qt::Key_Tab);
    };
    QTest::newRow("click") << Route{{click(1)}, u"Cell"_s};
    QTest::newRow("click, then another") << Route{{click(0), click(2)}, u"Nature"_s};
    QTest::newRow("arrow down") << Route{{click(0), press(Qt::Key_Down)}, u"Cell"_s};
    QTest::newRow("arrow up") << Route{{click(2), press(Qt::Key_Up)}, u"Cell"_s};
    QTest::newRow("Home") << Route{{click(2), press(Qt::Key_Home)}, u"Acta"_s};
    QTest::newRow("End") << Route{{click(0), press(Qt::Key_End)}, QString()};
    QTest::newRow("Page Down") << Route{{click(0), press(Qt::Key_PageDown)}, QString()};
    // A character key rebuilds the list; its type-ahead then picks the journal.
    QTest::newRow("type-ahead") << Route{{press(Qt::Key_N)}, u"Nature"_s};
    QTest::newRow("setListIndex") << Route{{setListIndex}, u"Nature"_s};
    // The selected row clicked again reads the journal's files again.
    QTest::newRow("the same row again") << Route{{click(1), removeCellsIF, click(1)}, u"Cell"_s};
    QTest::newRow("the blank entry") << Route{{click(3)}, QString()};
    QTest::newRow("below the last row") << Route{{clickBelow}, nothing};
    QTest::newRow("Tab into the list") << Route{{tabIn}, nothing};
}

// What the person sees is the journal that is selected, and the only files
// written are the missing defaults of that journal.
void SelectionTest::everyRouteShowsTheSelectedJournal() {
    QFETCH(Route, route);
    TempLibrary lib;
    makeLibrary(lib);
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    QStringList tree = lib.tree();
    for (const Step &step : route.steps)
        step(w, lib);
    QCOMPARE(w.currentJournal(), route.shown);
    QStringList boxTexts(3), articles;
    if (const std::optional<QString> name = route.shown) {
        const QByteArray impact = *name == u"Nature" ? "\"IF: 64.8\"\r\n" : "\"IF:\"\r\n";
        boxTexts = {QString::fromUtf8(impact), u"\"http:\"\r\n"_s, QString::fromUtf8(quoted(*name + u':'))};
        articles = expectedFor(*name).articles;
        tree += expectedFor(*name).created;
        tree.sort();
        QCOMPARE(w.List1->text(), *name);
        QCOMPARE(w.List1->toolTip(), *name);
    }
    QCOMPARE(boxes(w), boxTexts);
    QCOMPARE(w.List3->items(), articles);
    QCOMPARE(lib.tree(), tree);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

QTEST_MAIN(SelectionTest)
#include "tst_selection.moc"
