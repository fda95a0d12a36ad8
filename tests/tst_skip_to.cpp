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

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// Chinese comes from an input method, not key by key.
enum class Entry { Keys, InputMethod, Paste };

struct Typing {
    bool cellClickedFirst; // so that what stays selected shows
    Entry entry;
    QString text;
    int backspaces;  // pressed after the text
    QString journal; // selected afterwards, with its notes shown
    QString article; // selected afterwards in List3, empty for none
};

void enter(QLineEdit *box, Entry entry, const QString &text) {
    if (entry == Entry::Keys)
        QTest::keyClicks(box, text);
    if (entry == Entry::Paste) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    if (entry == Entry::InputMethod) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(box, &commit);
    }
}

bool selectedRowInView(ListBox *list) {
    const QModelIndex selected = list->model()->index(static_cast<int>(list->listIndex()), 0);
    return selected.row() > 0 && list->viewport()->rect().contains(list->visualRect(selected));
}

} // namespace

Q_DECLARE_METATYPE(Typing)

class SkipToTest : public QObject {
    Q_OBJECT
private slots:
    void typingSelectsTheJournalThenTheArticle_data();
    void typingSelectsTheJournalThenTheArticle();
    void theFoundRowsAreScrolledIntoView();
    void anEmptyLibraryIsSearchedWithoutHarm();
    void listsLongerThanSixteenBitsAreSearched();
};

void SkipToTest::typingSelectsTheJournalThenTheArticle_data() {
    QTest::addColumn<Typing>("typing");
    const auto keys = Entry::Keys;
    const QString none;
    QTest::newRow("N") << Typing{false, keys, u"N"_s, 0, u"Nature"_s, u"nature methods.pdf"_s};
    QTest::newRow("Nan: the later journal")
        << Typing{false, keys, u"Nan"_s, 0, u"nano letters"_s, u"Nanowires.pdf"_s};
    QTest::newRow("Nan, then deleting a letter")
        << Typing{false, keys, u"Nan"_s, 1, u"Nature"_s, u"nature methods.pdf"_s};
    QTest::newRow("lower case") << Typing{false, keys, u"cell"_s, 0, u"Cell"_s, none};
    QTest::newRow("upper case") << Typing{false, keys, u"NANO L"_s, 0, u"nano letters"_s, none};
    QTest::newRow("Chinese") << Typing{false, Entry::InputMethod, u"中国"_s, 0, u"中国科学"_s, none};
    QTest::newRow("pasted") << Typing{false, Entry::Paste,      u"Nano"_s,
                                      0,     u"nano letters"_s, u"Nanowires.pdf"_s};
    QTest::newRow("journal first, then an article it lists")
        << Typing{true, keys, u"nat"_s, 0, u"Nature"_s, u"nature methods.pdf"_s};
    QTest::newRow("no journal matches: the shown articles are searched")
        << Typing{true, keys, u"x-r"_s, 0, u"Cell"_s, u"x-ray.pdf"_s};
    QTest::newRow("longer than every item") << Typing{true, keys, u"cellular"_s, 0, u"Cell"_s, none};
    QTest::newRow("box cleared: both selections stay")
        << Typing{false, keys, u"nat"_s, 3, u"Nature"_s, u"nature methods.pdf"_s};
}

// The list reads Acta, Cell, Nature, 中国科学, then, from the subfolder
// Journal/more, nano letters. What the person sees is the journal selected
// with its notes shown, and the article selected in the example list.
void SkipToTest::typingSelectsTheJournalThenTheArticle() {
    QFETCH(Typing, typing);
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
    if (typing.cellClickedFirst)
        clickRow(w.List1, 1);
    enter(w.Text1, typing.entry, typing.text);
    for (int i = 0; i < typing.backspaces; ++i)
        QTest::keyClick(w.Text1, Qt::Key_Backspace);
    QCOMPARE(w.List1->text(), typing.journal);
    QCOMPARE(w.Text4->text(), QString::fromUtf8(quoted(typing.journal + u':')));
    QCOMPARE(w.List3->text(), typing.article);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

// Also when the journal found is the one already selected, after the person
// scrolled it away with the wheel.
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
    const QPointF inside(10, 10);
    QWheelEvent wheel(inside, w.List1->viewport()->mapToGlobal(inside), {}, QPoint(0, 120 * 50), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.List1->viewport(), &wheel);
    QVERIFY(!selectedRowInView(w.List1));
    QTest::keyClicks(w.Text1, u"o"_s);
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

// A search with 16-bit counters would never reach the last row.
void SkipToTest::listsLongerThanSixteenBitsAreSearched() {
    QStringList items(70000, u"Acta"_s);
    items.append(u"Nature"_s);
    QCOMPARE(firstMatch(items, u"nat"_s), 70000);
}

QTEST_MAIN(SkipToTest)
#include "tst_skip_to.moc"
