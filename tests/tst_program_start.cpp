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

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void argumentsSplitLikeAWindowsProgram();
    void requestsBecomeArgvWithoutOptionsOrShell();
    void homepageButtonOpensWhatTheFileHolds();
    void manualAndBlogOpenAndFailedStartsAreTold();
};

// Quoted arguments that a Windows program reads back unchanged are
// fuzz_windows_arguments' part; these are the rules such quoting never makes:
// separators, quotes that group, a doubled quote inside, backslash pairs, an
// open quote that runs on.
void ProgramStartTest::argumentsSplitLikeAWindowsProgram() {
    const struct Split {
        QString text;
        QStringList arguments;
    } splits[] = {
        {u" a\tb\r\nc "_s, {u"a"_s, u"b"_s, u"c"_s}},
        {u"\"a b\"c \"\""_s, {u"a bc"_s, u""_s}},
        {u"\"a\"\"b\""_s, {u"a\"b"_s}},
        {u"a\\\\\"b c\" d\\\\e"_s, {u"a\\b c"_s, u"d\\\\e"_s}},
        {u"\"a; $(rm -rf x)"_s, {u"a; $(rm -rf x)"_s}},
    };
    for (const Split &split : splits)
        QCOMPARE(splitWindowsArguments(split.text), split.arguments);
}

// That the browser gets only a web address with a host (no file:, ftp:,
// mailto: or javascript: address, no path) and that nothing looks like an
// option are fuzz_homepage's part, with those cases in its corpus. The
// requests keep the form they have on Windows up to here; what is refused
// gets a bilingual reason.
void ProgramStartTest::requestsBecomeArgvWithoutOptionsOrShell() {
    const QString hostile = u"/lib/a \"b\"; $(rm -rf ~) `x`.txt"_s, opener = u"xdg-open"_s;
    const QString browser = u"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe"_s;
    const QString fileHandler = u"rundll32 url.dll,FileProtocolHandler \""_s;
    const struct Request {
        QString commandLine;
        QStringList argv; // empty: refused
    } requests[] = {
        {shellOpenCommandLine(hostile), {opener, hostile}},
        {shellOpenCommandLine({}), {}},
        {browserCommandLine(u"https://a.org/?q=1;$(id)\r\n"_s), {opener, u"https://a.org/?q=1;$(id)"_s}},
        {browserCommandLine(u"\"\" \"https://a.org\"\r\nnote\r\n"_s), {opener, u"https://a.org"_s}},
        {browserCommandLine(u"www.nature.com"_s), {opener, u"http://www.nature.com"_s}},
        {browserCommandLine(u"HTTPS://A.org"_s), {opener, u"HTTPS://A.org"_s}},
        {browserCommandLine(u"\r\n"_s), {}},
        {fileHandler, {}},
        {fileHandler + u"D:\\a b.pdf\""_s, {opener, u"./D:\\a b.pdf"_s}},
        {browser, {}},
        {browser + u" https://a.org\r\n"_s, {opener, u"https://a.org"_s}},
        {u"xdg-open /etc/passwd"_s, {}},
    };
    for (const Request &request : requests) {
        const DesktopCommand command = desktopCommandFor(request.commandLine);
        const QStringList argv =
            command.arguments.isEmpty() ? QStringList() : QStringList{command.program} + command.arguments;
        QVERIFY2(argv == request.argv, qPrintable(request.commandLine + u" gave "_s + argv.join(u" | ")));
        QCOMPARE(isBilingual(command.refusal), argv.isEmpty());
    }
}

// Nothing selected, a homepage that is no web address (the default among
// them), a file that cannot be read: each is told with the way to set a
// homepage, never with the browser's command line; a refused address is named.
void ProgramStartTest::homepageButtonOpensWhatTheFileHolds() {
    TempLibrary lib;
    lib.addJournal(u"Nature");
    ShownWindow shown(lib.appDir());
    const QStringList &messages = shown.seams.errors.messages;
    click(shown.window.Command3);
    clickRow(shown.window.List1, 0);
    const struct Homepage {
        QByteArray bytes;
        bool told; // nothing is opened, and the user is told why
    } pages[] = {{"\"http:\"\r\n", true},
                 {"\"\"\r\n", true},
                 {"https://www.nature.com/", false},
                 {"\"https://a.org\"\r\nsecond\rthird", false},
                 {"file:///etc/passwd\r\n", true}};
    for (const Homepage &page : pages) {
        lib.write(u"Homepage/Nature.txt", page.bytes);
        const qsizetype told = messages.size();
        click(shown.window.Command3);
        QCOMPARE(messages.size() - told, page.told ? 1 : 0);
    }
    QCOMPARE(shown.seams.starter.starts, (QList<QStringList>{{u"xdg-open"_s, u"https://www.nature.com/"_s},
                                                             {u"xdg-open"_s, u"https://a.org"_s}}));
    lib.remove(u"Homepage/Nature.txt");
    click(shown.window.Command3);
    QCOMPARE(unexpectedIn(messages, 5, {lib.path(u"Homepage/Nature.txt"), u"file:///etc/passwd"_s}),
             QString());
    for (const QString &message : messages)
        QVERIFY(message.contains(u"Modify journal homepage"_s) && !message.contains(u"IEXPLORE"_s));
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
    QCOMPARE(unexpectedIn(shown.seams.errors.messages, 1), QString());
    QVERIFY(shown.seams.errors.messages.first().endsWith(u"\nreason"_s));
}

QTEST_MAIN(ProgramStartTest)
#include "tst_program_start.moc"
