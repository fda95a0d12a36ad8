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

} // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void argumentsSplitLikeAWindowsProgram_data();
    void argumentsSplitLikeAWindowsProgram();
    void requestsBecomeArgvWithoutOptionsOrShell_data();
    void requestsBecomeArgvWithoutOptionsOrShell();
    void homepageButtonOpensWhatTheFileHolds_data();
    void homepageButtonOpensWhatTheFileHolds();
    void manualAndBlogOpenAndFailedStartsAreTold();
};

// Quoted arguments that a Windows program reads back unchanged are
// fuzz_windows_arguments' part; these are the rules such quoting never makes.
void ProgramStartTest::argumentsSplitLikeAWindowsProgram_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("separators") << u" a\tb\r\nc "_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("quotes group") << u"\"a b\"c \"\""_s << QStringList{u"a bc"_s, u""_s};
    QTest::newRow("doubled quote inside") << u"\"a\"\"b\""_s << QStringList{u"a\"b"_s};
    QTest::newRow("backslash pairs") << u"a\\\\\"b c\" d\\\\e"_s << QStringList{u"a\\b c"_s, u"d\\\\e"_s};
    QTest::newRow("open quote runs on") << u"\"a; $(rm -rf x)"_s << QStringList{u"a; $(rm -rf x)"_s};
}

void ProgramStartTest::argumentsSplitLikeAWindowsProgram() {
    QFETCH(QString, text);
    QFETCH(QStringList, arguments);
    QCOMPARE(splitWindowsArguments(text), arguments);
}

// That the browser gets only a web address with a host (no file:, ftp:,
// mailto: or javascript: address, no path) and that nothing looks like an
// option are fuzz_homepage's part, with those cases in its corpus.
void ProgramStartTest::requestsBecomeArgvWithoutOptionsOrShell_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("argv"); // empty: refused, with a bilingual reason
    const QString hostile = u"/lib/a \"b\"; $(rm -rf ~) `x`.txt"_s;
    const QString opener = u"xdg-open"_s;
    QTest::newRow("path unchanged") << shellOpenCommandLine(hostile) << QStringList{opener, hostile};
    QTest::newRow("no path") << shellOpenCommandLine({}) << QStringList();
    QTest::newRow("address") << browserCommandLine(u"https://a.org/?q=1;$(id)\r\n"_s)
                             << QStringList{opener, u"https://a.org/?q=1;$(id)"_s};
    QTest::newRow("first word only") << browserCommandLine(u"\"\" \"https://a.org\"\r\nnote\r\n"_s)
                                     << QStringList{opener, u"https://a.org"_s};
    QTest::newRow("no scheme") << browserCommandLine(u"www.nature.com"_s)
                               << QStringList{opener, u"http://www.nature.com"_s};
    QTest::newRow("upper-case scheme")
        << browserCommandLine(u"HTTPS://A.org"_s) << QStringList{opener, u"HTTPS://A.org"_s};
    QTest::newRow("no address") << browserCommandLine(u"\r\n"_s) << QStringList();
    // The requests keep the form they have on Windows up to here.
    QTest::newRow("bare prefix") << u"rundll32 url.dll,FileProtocolHandler \""_s << QStringList();
    QTest::newRow("a file, as on Windows") << u"rundll32 url.dll,FileProtocolHandler \"D:\\a b.pdf\""_s
                                           << QStringList{opener, u"./D:\\a b.pdf"_s};
    QTest::newRow("bare browser") << kBrowser << QStringList();
    QTest::newRow("the browser, as on Windows")
        << kBrowser + u" https://a.org\r\n"_s << QStringList{opener, u"https://a.org"_s};
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
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("opened"); // empty: nothing is opened, and the user is told why
    QTest::newRow("the default") << QByteArray("\"http:\"\r\n") << QString();
    QTest::newRow("empty quotes") << QByteArray("\"\"\r\n") << QString();
    QTest::newRow("an address") << QByteArray("https://www.nature.com/") << u"https://www.nature.com/"_s;
    QTest::newRow("quoted, then more lines")
        << QByteArray("\"https://a.org\"\r\nsecond\rthird") << u"https://a.org"_s;
    QTest::newRow("a local file") << QByteArray("file:///etc/passwd\r\n") << QString();
}

// Nothing selected, a homepage that is no web address, a file that cannot be
// read: each is told with the way to set a homepage, never with the browser's
// command line; a refused address is named.
void ProgramStartTest::homepageButtonOpensWhatTheFileHolds() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, opened);
    TempLibrary lib;
    lib.addJournal(u"Nature");
    ShownWindow shown(lib.appDir());
    click(shown.window.Command3);
    clickRow(shown.window.List1, 0);
    lib.write(u"Homepage/Nature.txt", bytes);
    click(shown.window.Command3);
    QList<QStringList> starts;
    if (!opened.isEmpty())
        starts << QStringList{u"xdg-open"_s, opened};
    QCOMPARE(shown.seams.starter.starts, starts);
    lib.remove(u"Homepage/Nature.txt");
    click(shown.window.Command3);
    const QStringList &messages = shown.seams.errors.messages;
    const QString refused = bytes.startsWith("file:") ? u"file:///etc/passwd"_s : QString();
    QCOMPARE(unexpectedIn(messages, opened.isEmpty() ? 3 : 2, {lib.path(u"Homepage/Nature.txt"), refused}),
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
