// Starting other programs: what the desktop is asked to open, and the buttons
// that ask it. That only web addresses reach the browser and that nothing
// reads as an option, whatever a file holds, is fuzz_homepage's part.
#include "launch/StartRequest.h"
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void aFileIsOneArgumentThatNeverReadsAsAnOption();
    void theButtonsOpenWhatTheyNameAndFailedStartsAreTold();
};

void ProgramStartTest::aFileIsOneArgumentThatNeverReadsAsAnOption() {
    const QString hostile = u"/lib/a \"b\"; $(rm -rf ~) `x`.txt"_s;
    QCOMPARE(desktopCommandFor(fileRequest(hostile)).argv, (QStringList{u"xdg-open"_s, hostile}));
    QCOMPARE(desktopCommandFor(fileRequest(u"-x.pdf"_s)).argv, (QStringList{u"xdg-open"_s, u"./-x.pdf"_s}));
    QCOMPARE(desktopCommandFor(fileRequest({})).refusal->kind, FailureKind::NotAFile);
}

// Nothing selected, a homepage that is no web address (the default among
// them), a file that cannot be read: each is told, never with a command line.
// The manual and the blog open; a start that fails is told with its reason.
void ProgramStartTest::theButtonsOpenWhatTheyNameAndFailedStartsAreTold() {
    Session s;
    s.lib.addJournal(u"Nature");
    ShownWindow &shown = s.start();
    click(shown.ui.Command3);
    clickRow(shown.ui.List1, 0);
    for (const QByteArray &page :
         {QByteArray("\"http:\"\r\n"), QByteArray("\"\"\r\n"), QByteArray("https://www.nature.com/"),
          QByteArray("\"https://a.org\"\r\nb\rc"), QByteArray("www.nature.com"),
          QByteArray("file:///etc/passwd\r\n")}) {
        s.lib.write(u"Homepage/Nature.txt", page);
        click(shown.ui.Command3);
    }
    s.lib.remove(u"Homepage/Nature.txt");
    click(shown.ui.Command3);
    using enum FailureKind;
    const Kinds told{{NothingSelected}, {NoHomepage}, {NoHomepage}, {NotAWebAddress}, {CannotRead}};
    QCOMPARE(shown.seams.errors.kinds(), told);
    for (const QString &text : shown.seams.errors.texts())
        QVERIFY(text.contains(u"Modify journal homepage"_s));
    click(shown.ui.Command12);
    click(shown.ui.Command2);
    QCOMPARE(shown.seams.starter.starts,
             (QList<QStringList>{{u"xdg-open"_s, u"https://www.nature.com/"_s},
                                 {u"xdg-open"_s, u"https://a.org"_s},
                                 {u"xdg-open"_s, u"http://www.nature.com"_s},
                                 {u"xdg-open"_s, s.lib.path(u"BGM/Tuition.wmv")},
                                 {u"xdg-open"_s, u"https://varnotel.github.io/blog/"_s}}));
    shown.seams.starter.answer = Result::failure(u"reason"_s);
    click(shown.ui.Command2);
    QCOMPARE(shown.seams.errors.kinds().last(), QList{CannotStart});
    QVERIFY(shown.seams.errors.texts().last().endsWith(u"\nreason"_s));
}

QTEST_MAIN(ProgramStartTest)
#include "tst_program_start.moc"
