// Starting other programs: the requests in their Windows form, the argv they
// become on this desktop, and the buttons that make them.
#include "mainwindow/ListBox.h"
#include "media/CommandLines.h"
#include "media/DesktopCommand.h"
#include "media/WindowsArguments.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

const QString kBrowser = u"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe"_s;

struct Homepage {
    QByteArray bytes;
    QString opened;       // empty: nothing is opened, and the user is told why
    QString refused = {}; // an address that is not a web address, named in the message
};

} // namespace

Q_DECLARE_METATYPE(Homepage)

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void requestsKeepTheirWindowsForm();
    void argumentsSplitLikeAWindowsProgram_data();
    void argumentsSplitLikeAWindowsProgram();
    void requestsBecomeArgvWithoutOptionsOrShell_data();
    void requestsBecomeArgvWithoutOptionsOrShell();
    void homepageButtonOpensWhatTheFileHolds_data();
    void homepageButtonOpensWhatTheFileHolds();
    void manualAndBlogOpenAndFailedStartsAreTold();
};

void ProgramStartTest::requestsKeepTheirWindowsForm() {
    QCOMPARE(shellOpenCommandLine(u"D:\\a b.pdf"_s),
             u"rundll32 url.dll,FileProtocolHandler \"D:\\a b.pdf\""_s);
    QCOMPARE(browserCommandLine(u"\"http:\"\r\n"_s), kBrowser + u" \"http:\"\r\n"_s);
    QCOMPARE(browserCommandLine(QString()), kBrowser + u' ');
}

void ProgramStartTest::argumentsSplitLikeAWindowsProgram_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("separators") << u" a\tb\r\nc "_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("quotes group") << u"\"a b\"c \"\""_s << QStringList{u"a bc"_s, u""_s};
    QTest::newRow("doubled quote inside") << u"\"a\"\"b\""_s << QStringList{u"a\"b"_s};
    QTest::newRow("escaped quote") << u"a\\\"b"_s << QStringList{u"a\"b"_s};
    QTest::newRow("backslash pairs") << u"a\\\\\"b c\" d\\\\e"_s << QStringList{u"a\\b c"_s, u"d\\\\e"_s};
    QTest::newRow("open quote runs on") << u"\"a; $(rm -rf x)"_s << QStringList{u"a; $(rm -rf x)"_s};
    QTest::newRow("shell text") << u"x;y $(id) `id` -v"_s
                                << QStringList{u"x;y"_s, u"$(id)"_s, u"`id`"_s, u"-v"_s};
}

void ProgramStartTest::argumentsSplitLikeAWindowsProgram() {
    QFETCH(QString, text);
    QFETCH(QStringList, arguments);
    QCOMPARE(splitWindowsArguments(text), arguments);
}

void ProgramStartTest::requestsBecomeArgvWithoutOptionsOrShell_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("argv"); // empty: refused, with a bilingual reason
    const QString hostile = u"/lib/a \"b\"; $(rm -rf ~) `x`.txt"_s;
    const QString opener = u"xdg-open"_s;
    QTest::newRow("path unchanged") << shellOpenCommandLine(hostile) << QStringList{opener, hostile};
    QTest::newRow("option-like path")
        << shellOpenCommandLine(u"--help"_s) << QStringList{opener, u"./--help"_s};
    QTest::newRow("no path") << shellOpenCommandLine({}) << QStringList();
    QTest::newRow("address") << browserCommandLine(u"https://a.org/?q=1;$(id)\r\n"_s)
                             << QStringList{opener, u"https://a.org/?q=1;$(id)"_s};
    QTest::newRow("first word only") << browserCommandLine(u"\"\" \"https://a.org\"\r\nnote\r\n"_s)
                                     << QStringList{opener, u"https://a.org"_s};
    QTest::newRow("no scheme") << browserCommandLine(u"www.nature.com"_s)
                               << QStringList{opener, u"http://www.nature.com"_s};
    QTest::newRow("upper-case scheme")
        << browserCommandLine(u"HTTPS://A.org"_s) << QStringList{opener, u"HTTPS://A.org"_s};
    for (const QString &notWeb : {u"file:///etc/passwd"_s, u"/etc/passwd"_s, u"javascript:alert(1)"_s,
                                  u"ftp://a.org/x"_s, u"http://"_s, u"mailto:a@b.org"_s})
        QTest::addRow("not web: %s", qPrintable(notWeb)) << browserCommandLine(notWeb) << QStringList();
    QTest::newRow("option-like address") << browserCommandLine(u"--version"_s) << QStringList();
    QTest::newRow("quoted option") << browserCommandLine(u"\"-x\" https://a.org"_s) << QStringList();
    QTest::newRow("no address") << browserCommandLine(u"\r\n"_s) << QStringList();
    QTest::newRow("bare prefix") << u"rundll32 url.dll,FileProtocolHandler \""_s << QStringList();
    QTest::newRow("bare browser") << kBrowser << QStringList();
    QTest::newRow("anything else") << u"xdg-open /etc/passwd"_s << QStringList();
}

void ProgramStartTest::requestsBecomeArgvWithoutOptionsOrShell() {
    QFETCH(QString, commandLine);
    QFETCH(QStringList, argv);
    const DesktopCommand command = desktopCommandFor(commandLine);
    QCOMPARE(command.arguments.isEmpty() ? QStringList() : QStringList{command.program} + command.arguments,
             argv);
    QCOMPARE(isBilingual(command.refusal), argv.isEmpty());
}

void ProgramStartTest::homepageButtonOpensWhatTheFileHolds_data() {
    QTest::addColumn<Homepage>("homepage");
    QTest::newRow("the default") << Homepage{"\"http:\"\r\n", {}};
    QTest::newRow("empty") << Homepage{"", {}};
    QTest::newRow("empty quotes") << Homepage{"\"\"\r\n", {}};
    QTest::newRow("blank lines") << Homepage{"  \r\n\r\n", {}};
    QTest::newRow("an address") << Homepage{"https://www.nature.com/", u"https://www.nature.com/"_s};
    QTest::newRow("quoted, then more lines")
        << Homepage{"\"https://a.org\"\r\nsecond\rthird", u"https://a.org"_s};
    QTest::newRow("a local file") << Homepage{"file:///etc/passwd\r\n", {}, u"file:///etc/passwd"_s};
    QTest::newRow("a script") << Homepage{"javascript:alert(1)", {}, u"javascript:alert(1)"_s};
}

void ProgramStartTest::homepageButtonOpensWhatTheFileHolds() {
    QFETCH(Homepage, homepage);
    TempLibrary lib;
    lib.addJournal(u"Nature");
    ShownWindow shown(lib.appDir());
    click(shown.window.Command3); // nothing selected yet: told how to set a homepage
    clickRow(shown.window.List1, 0);
    lib.write(u"Homepage/Nature.txt", homepage.bytes);
    click(shown.window.Command3);
    QList<QStringList> expected;
    if (!homepage.opened.isEmpty())
        expected << QStringList{u"xdg-open"_s, homepage.opened};
    QCOMPARE(shown.seams.starter.starts, expected);
    lib.remove(u"Homepage/Nature.txt");
    click(shown.window.Command3);
    const QStringList &messages = shown.seams.errors.messages;
    QCOMPARE(messages.size(), homepage.opened.isEmpty() ? 3 : 2);
    for (const QString &message : messages)
        QVERIFY(isBilingual(message) && message.contains(u"Modify journal homepage"_s) &&
                !message.contains(u"IEXPLORE"_s));
    if (!homepage.refused.isEmpty())
        QVERIFY(messages.at(1).contains(homepage.refused));
    QVERIFY(messages.last().contains(lib.path(u"Homepage/Nature.txt")));
}

void ProgramStartTest::manualAndBlogOpenAndFailedStartsAreTold() {
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    click(shown.window.Command12);
    click(shown.window.Command2);
    QCOMPARE(shown.seams.starter.starts,
             (QList<QStringList>{{u"xdg-open"_s, lib.path(u"BGM/Tuition.wmv")},
                                 {u"xdg-open"_s, u"https://varnotel.github.io/blog/"_s}}));
    shown.seams.starter.answer = Result::failure(u"reason"_s);
    click(shown.window.Command2);
    QCOMPARE(shown.seams.errors.messages.size(), 1);
    QVERIFY(isBilingual(shown.seams.errors.messages.first()));
    QVERIFY(shown.seams.errors.messages.first().endsWith(u"\nreason"_s));
}

QTEST_MAIN(ProgramStartTest)
#include "tst_program_start.moc"
