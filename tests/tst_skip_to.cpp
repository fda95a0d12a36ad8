// Skip-to: typing, deleting and pasting in the skip-to box selects the first
// journal, then the first of its example articles, that begins with the text.
#include "library/SkipTo.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <QtTest>

#include <functional>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// The list reads Acta, Cell, Nature, 中国科学, then, from the subfolder
// Journal/more, nano letters. Cell lists natural history.pdf and x-ray.pdf.
void makeLibrary(const TempLibrary &lib) {
    for (const QStringView name : {u"Acta", u"Cell", u"Nature", u"中国科学"})
        lib.addJournal(name);
    lib.write(u"Journal/more/nano letters.txt", quoted({}));
    lib.write(u"Notes/nano letters.txt", quoted(u"nano letters:"_s));
    lib.write(u"Example/Cell/natural history.pdf", "c");
    lib.write(u"Example/Cell/x-ray.pdf", "c");
    lib.write(u"Example/Nature/Letter layout.pdf", "n");
    lib.write(u"Example/Nature/nature methods.pdf", "n");
    lib.write(u"Example/nano letters/Nanowires.pdf", "l");
    lib.write(u"Example/中国科学/中文摘要.pdf", "z");
}

// Text as an input method hands it over: Chinese is not typed key by key.
void commitThroughInputMethod(QLineEdit *box, const QString &text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(box, &event);
}

void paste(QLineEdit *box, const QString &text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

struct Typing {
    std::function<void(Form1 &)> act;
    QString journal; // selected afterwards, its notes shown
    QString article; // selected afterwards in List3, empty for none
};

bool selectedRowInView(ListBox *list) {
    const QModelIndex selected = list->model()->index(static_cast<int>(list->listIndex()), 0);
    return selected.row() > 0 && list->viewport()->rect().contains(list->visualRect(selected));
}

void scrollToTopWithTheWheel(ListBox *list) {
    const QPointF inside(10, 10);
    QWheelEvent wheel(inside, list->viewport()->mapToGlobal(inside), {}, QPoint(0, 120 * 50), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list->viewport(), &wheel);
}

// Cell is selected by a click first, so what stays selected is visible.
void startOnCell(Form1 &w) { clickRow(w.List1, 1); }

} // namespace

Q_DECLARE_METATYPE(Typing)

class SkipToTest : public QObject {
    Q_OBJECT
private slots:
    void typingSelectsTheJournalThenTheArticle_data();
    void typingSelectsTheJournalThenTheArticle();
    void eachKeySearchesAgainFromTheTop();
    void theFoundRowsAreScrolledIntoView();
    void anEmptyLibraryIsSearchedWithoutHarm();
    void listsLongerThanSixteenBitsAreSearched();
};

void SkipToTest::typingSelectsTheJournalThenTheArticle_data() {
    QTest::addColumn<Typing>("typing");
    QTest::newRow("lower case finds a capitalised name")
        << Typing{[](Form1 &w) { QTest::keyClicks(w.Text1, u"cell"_s); }, u"Cell"_s, {}};
    QTest::newRow("upper case finds a lower-case name, and its article") << Typing{
        [](Form1 &w) { QTest::keyClicks(w.Text1, u"NANO"_s); }, u"nano letters"_s, u"Nanowires.pdf"_s};
    QTest::newRow("Chinese is matched exactly")
        << Typing{[](Form1 &w) { commitThroughInputMethod(w.Text1, u"中国"_s); }, u"中国科学"_s, {}};
    QTest::newRow("the journal first, then an article it lists")
        << Typing{[](Form1 &w) {
                      startOnCell(w);
                      QTest::keyClicks(w.Text1, u"nat"_s);
                  },
                  u"Nature"_s, u"nature methods.pdf"_s};
    QTest::newRow("no journal matches: the shown articles are searched")
        << Typing{[](Form1 &w) {
                      startOnCell(w);
                      QTest::keyClicks(w.Text1, u"x-r"_s);
                  },
                  u"Cell"_s, u"x-ray.pdf"_s};
    QTest::newRow("a key longer than every item matches nothing")
        << Typing{[](Form1 &w) {
                      startOnCell(w);
                      QTest::keyClicks(w.Text1, u"cellular"_s);
                  },
                  u"Cell"_s,
                  {}};
    QTest::newRow("pasted text") << Typing{[](Form1 &w) { paste(w.Text1, u"Nano"_s); }, u"nano letters"_s,
                                           u"Nanowires.pdf"_s};
    QTest::newRow("clearing the box leaves both selections")
        << Typing{[](Form1 &w) {
                      QTest::keyClicks(w.Text1, u"nat"_s);
                      QTest::keyClick(w.Text1, Qt::Key_A, Qt::ControlModifier);
                      QTest::keyClick(w.Text1, Qt::Key_Delete);
                  },
                  u"Nature"_s, u"nature methods.pdf"_s};
}

// What the person sees: the journal selected in the list with its notes
// shown, and the article selected in the example list.
void SkipToTest::typingSelectsTheJournalThenTheArticle() {
    QFETCH(Typing, typing);
    TempLibrary lib;
    makeLibrary(lib);
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    typing.act(w);
    QCOMPARE(w.List1->text(), typing.journal);
    QCOMPARE(w.Text4->text(), QString::fromUtf8(quoted(typing.journal + u':')));
    QCOMPARE(w.List3->text(), typing.article);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

// Nature is listed before nano letters: a longer key moves on to the later
// journal, a shorter one comes back.
void SkipToTest::eachKeySearchesAgainFromTheTop() {
    TempLibrary lib;
    makeLibrary(lib);
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    const QList<std::pair<Qt::Key, QString>> steps{{Qt::Key_N, u"Nature"_s},
                                                   {Qt::Key_A, u"Nature"_s},
                                                   {Qt::Key_N, u"nano letters"_s},
                                                   {Qt::Key_Backspace, u"Nature"_s}};
    for (const auto &[key, journal] : steps) {
        QTest::keyClick(w.Text1, key);
        QCOMPARE(w.List1->text(), journal);
        QCOMPARE(w.Text4->text(), QString::fromUtf8(quoted(journal + u':')));
    }
    QCOMPARE(w.Text1->text(), u"na"_s);
}

// Also when the journal found is the one already selected, after the person
// scrolled it away.
void SkipToTest::theFoundRowsAreScrolledIntoView() {
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
    scrollToTopWithTheWheel(w.List1);
    QVERIFY(!selectedRowInView(w.List1));
    QTest::keyClicks(w.Text1, u"o"_s);
    QCOMPARE(w.List1->text(), u"Zoology"_s);
    QCOMPARE(w.List3->text(), u"zoo notes.pdf"_s);
    QVERIFY(selectedRowInView(w.List1));
    QVERIFY(selectedRowInView(w.List3));
}

void SkipToTest::anEmptyLibraryIsSearchedWithoutHarm() {
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    const QStringList before = lib.tree();
    QTest::keyClicks(shown.window.Text1, u"nat"_s);
    QCOMPARE(shown.window.List1->listIndex(), -1);
    QCOMPARE(shown.window.List3->listCount(), 0);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

// A search with 16-bit counters would never reach these rows.
void SkipToTest::listsLongerThanSixteenBitsAreSearched() {
    QStringList items(70000, u"Acta"_s);
    items.append(u"Nature"_s);
    QCOMPARE(firstMatch(items, u"nat"_s), 70000);
    QCOMPARE(firstMatch(items, u"natures"_s), -1);
}

QTEST_MAIN(SkipToTest)
#include "tst_skip_to.moc"
