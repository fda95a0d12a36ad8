// Selecting a journal in List1, by every route a person (or the program) takes,
// and what the window shows of it, or tells when it cannot; the skip-to box
// is one of the routes: what is typed, pasted or committed by an input
// method there selects the first journal, then the first of its example
// articles, that begins with the text.
#include "mainwindow/SkipTo.h"
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

#include <functional>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// How the selection is made, on a window showing Acta, Cell, Nature and, from
// the subfolder Journal/old, the blank entry, in this order.
using Step = std::function<void(Form1 &)>;
struct Route {
    QList<Step> steps;
    std::optional<QString> shown; // the journal whose fields end up in the boxes
};

Step click(int row) {
    return [row](Form1 &w) { clickRow(w.List1, row); };
}
Step press(Qt::Key key) {
    return [key](Form1 &w) { QTest::keyClick(w.List1, key); };
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

// Typed into the skip-to box, and then as many letters deleted.
Step typed(const QString &text, int backspaces = 0) {
    return [=](Form1 &w) {
        QTest::keyClicks(w.Text1, text);
        for (int i = 0; i < backspaces; ++i)
            QTest::keyClick(w.Text1, Qt::Key_Backspace);
    };
}
Step pasted(const QString &text) {
    return [text](Form1 &w) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(w.Text1, Qt::Key_V, Qt::ControlModifier);
    };
}
// Chinese comes from an input method, not key by key.
Step committed(const QString &text) {
    return [text](Form1 &w) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(w.Text1, &commit);
    };
}

struct Search {
    QList<Step> steps;
    QString journal; // selected afterwards, with its notes shown
    QString article; // selected afterwards in List3, empty for none
};

bool selectedRowInView(ListBox *list) {
    const QModelIndex selected = list->model()->index(static_cast<int>(list->listIndex()), 0);
    return selected.row() > 0 && list->viewport()->rect().contains(list->visualRect(selected));
}

} // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(Search)

class SelectionTest : public QObject {
    Q_OBJECT
private slots:
    void everyRouteShowsTheSelectedJournal_data();
    void everyRouteShowsTheSelectedJournal();
    void failuresOfOneSelectionAreToldOnce();
    void skipToSelectsTheJournalThenTheArticle_data();
    void skipToSelectsTheJournalThenTheArticle();
    void skipToScrollsTheFoundRowsIntoView();
};

void SelectionTest::everyRouteShowsTheSelectedJournal_data() {
    QTest::addColumn<Route>("route");
    const Step removeCellsIF = [](Form1 &w) { QFile::remove(w.appDir() + u"/IF/Cell.txt"_s); };
    // Tab makes a row current without selecting it.
    const Step tabIn = [](Form1 &w) {
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
    QTest::newRow("setListIndex") << Route{{[](Form1 &w) { w.List1->setListIndex(2); }}, u"Nature"_s};
    // The selected row clicked again reads the journal's files again.
    QTest::newRow("the same row again") << Route{{click(1), removeCellsIF, click(1)}, u"Cell"_s};
    QTest::newRow("the blank entry") << Route{{click(3)}, QString()};
    QTest::newRow("below the last row")
        << Route{{[](Form1 &w) { clickBelowLastRow(w.List1); }}, std::nullopt};
    QTest::newRow("Tab into the list") << Route{{tabIn}, std::nullopt};
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
        step(w);
    QCOMPARE(w.currentJournal(), route.shown);
    QStringList boxTexts(3), articles;
    if (const std::optional<QString> name = route.shown) {
        const QByteArray impact = *name == u"Nature" ? "\"IF: 64.8\"\r\n" : "\"IF:\"\r\n";
        boxTexts = {QString::fromUtf8(impact), u"\"http:\"\r\n"_s, QString::fromUtf8(quoted(*name + u':'))};
        // The blank entry's example folder is Example itself.
        for (const QString &file : lib.files(u"Example/"_s + *name).keys())
            articles << QFileInfo(file).fileName();
        for (const QString &missing :
             {u"IF/%1.txt"_s, u"Homepage/%1.txt"_s, u"Notes/%1.txt"_s, u"Example/%1/"_s})
            if (const QString entry = missing.arg(*name); entry != u"Example//" && !tree.contains(entry))
                tree << entry;
        tree.sort();
        QCOMPARE(w.List1->text(), *name);
        QCOMPARE(w.List1->toolTip(), *name);
    }
    QCOMPARE(boxes(w), boxTexts);
    QCOMPARE(w.List3->items(), articles);
    QCOMPARE(lib.tree(), tree);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

// A box whose file cannot be read is emptied rather than left with another
// journal's text; all failures of one selection come in one message, and
// nothing is written meanwhile.
void SelectionTest::failuresOfOneSelectionAreToldOnce() {
    TempLibrary lib;
    makeLibrary(lib);
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    clickRow(w.List1, 0);
    lib.remove(u"Notes");
    lib.remove(u"Example");
    shown.seams.fs.failOn(FaultyFileSystem::Op::Read, shown.seams.fs.calls(FaultyFileSystem::Op::Read));
    const QStringList before = lib.tree();
    clickRow(w.List1, 2);
    QCOMPARE(lib.tree(), before);
    const QStringList named{lib.path(u"IF/Nature.txt"), lib.path(u"Notes/Nature.txt"),
                            lib.path(u"Example/Nature")};
    QCOMPARE(unexpectedIn(shown.seams.errors.messages, 1, named), QString());
    QCOMPARE(boxes(w), (QStringList{QString(), u"\"http:\"\r\n"_s, QString()}));
    QCOMPARE(w.List3->items(), QStringList());
}

void SelectionTest::skipToSelectsTheJournalThenTheArticle_data() {
    QTest::addColumn<Search>("search");
    const QString nature = u"Nature"_s, methods = u"nature methods.pdf"_s, nano = u"nano letters"_s;
    QTest::newRow("Nan: the later journal") << Search{{typed(u"Nan"_s)}, nano, u"Nanowires.pdf"_s};
    QTest::newRow("Nan, then deleting a letter") << Search{{typed(u"Nan"_s, 1)}, nature, methods};
    QTest::newRow("lower case") << Search{{typed(u"cell"_s)}, u"Cell"_s, {}};
    QTest::newRow("upper case") << Search{{typed(u"NANO L"_s)}, nano, {}};
    QTest::newRow("Chinese") << Search{{committed(u"中国"_s)}, u"中国科学"_s, {}};
    QTest::newRow("pasted") << Search{{pasted(u"Nano"_s)}, nano, u"Nanowires.pdf"_s};
    QTest::newRow("journal first, then an article it lists")
        << Search{{click(1), typed(u"nat"_s)}, nature, methods};
    QTest::newRow("no journal matches: the shown articles are searched")
        << Search{{click(1), typed(u"x-r"_s)}, u"Cell"_s, u"x-ray.pdf"_s};
    QTest::newRow("longer than every item") << Search{{click(1), typed(u"cellular"_s)}, u"Cell"_s, {}};
    QTest::newRow("box cleared: both selections stay") << Search{{typed(u"nat"_s, 3)}, nature, methods};
}

// The list reads Acta, Cell, Nature, 中国科学, then, from the subfolder
// Journal/more, nano letters. What the person sees is the journal selected
// with its notes shown, and the article selected in the example list.
void SelectionTest::skipToSelectsTheJournalThenTheArticle() {
    QFETCH(Search, search);
    TempLibrary lib;
    for (const QStringView name : {u"Acta", u"Cell", u"Nature", u"中国科学"})
        lib.addJournal(name);
    lib.write(u"Journal/more/nano letters.txt", quoted({}));
    lib.write(u"Notes/nano letters.txt", quoted(u"nano letters:"_s));
    for (const QStringView article :
         {u"Cell/natural history.pdf", u"Cell/x-ray.pdf", u"Nature/Letter layout.pdf",
          u"Nature/nature methods.pdf", u"nano letters/Nanowires.pdf", u"中国科学/中文.pdf"})
        lib.write(u"Example/"_s + article.toString(), "a");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    for (const Step &step : search.steps)
        step(w);
    QCOMPARE(w.List1->text(), search.journal);
    QCOMPARE(w.Text4->text(), QString::fromUtf8(quoted(search.journal + u':')));
    QCOMPARE(w.List3->text(), search.article);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

// Also when the journal found is the one already selected, after the person
// scrolled it away with the wheel.
void SelectionTest::skipToScrollsTheFoundRowsIntoView() {
    TempLibrary lib;
    for (int i = 0; i < 80; ++i)
        lib.addJournal(u"Acta %1"_s.arg(i, 2, 10, QLatin1Char('0')));
    lib.addJournal(u"Zoology");
    for (int i = 0; i < 40; ++i)
        lib.write(u"Example/Zoology/draft %1.pdf"_s.arg(i, 2, 10, QLatin1Char('0')), "z");
    lib.write(u"Example/Zoology/zoo notes.pdf", "z");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    QTest::keyClicks(w.Text1, u"z"_s);
    QVERIFY(selectedRowInView(w.List1));
    const QPointF inside(10, 10);
    QWheelEvent wheel(inside, w.List1->viewport()->mapToGlobal(inside), {}, QPoint(0, 120 * 50), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.List1->viewport(), &wheel);
    QVERIFY(!selectedRowInView(w.List1));
    QTest::keyClicks(w.Text1, u"o"_s);
    QCOMPARE(w.List3->text(), u"zoo notes.pdf"_s);
    QVERIFY(selectedRowInView(w.List1) && selectedRowInView(w.List3));
    // A search with 16-bit counters would never reach the last row.
    QStringList items(70000, u"Acta"_s);
    QCOMPARE(firstMatch(items << u"Nature"_s, u"nat"_s), 70000);
}

QTEST_MAIN(SelectionTest)
#include "tst_selection.moc"
