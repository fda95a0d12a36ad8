#include "library/Messages.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "media/CommandLines.h"
#include "media/HomepageAddress.h"
#include "media/StartRequest.h"
#include "media/WindowsArguments.h"
#include "platform/DesktopProgramStarter.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

namespace {

const QString kBrowser = QStringLiteral("C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe");
const QString kRundll = QStringLiteral("rundll32 url.dll,FileProtocolHandler \"");

} // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void commandLinesHaveTheirFixedForms();
    void splitsLikeAWindowsProgram_data();
    void splitsLikeAWindowsProgram();
    void readsRequestsBack();
    void buildsArgvWithoutOptionsOrShell_data();
    void buildsArgvWithoutOptionsOrShell();
    void buttonsRequestTheirCommandLines();
    void homepageButtonNeedsAnAddress_data();
    void homepageButtonNeedsAnAddress();
    void failedStartIsReported();
};

void ProgramStartTest::commandLinesHaveTheirFixedForms() {
    QCOMPARE(QString(kShellOpenPrefix), kRundll);
    QCOMPARE(kRundll.size(), 38);
    QCOMPARE(QString(kBrowserPath), kBrowser);
    QCOMPARE(kBrowser.size(), 50);
    QCOMPARE(shellOpenCommandLine(QStringLiteral("/a b/c.txt")), kRundll + QStringLiteral("/a b/c.txt\""));
    QCOMPARE(browserCommandLine(QString()), kBrowser + QLatin1Char(' '));
    QCOMPARE(blogCommandLine(), kBrowser + QStringLiteral(" https://varnotel.github.io/blog/"));
}

void ProgramStartTest::splitsLikeAWindowsProgram_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("separators") << QStringLiteral(" a\tb\r\nc ") << QStringList{"a", "b", "c"};
    QTest::newRow("default line") << QStringLiteral("\"http:\"\r\n") << QStringList{"http:"};
    QTest::newRow("quotes group") << QStringLiteral("\"a b\"c \"\"") << QStringList{"a bc", ""};
    QTest::newRow("doubled quote inside") << QStringLiteral("\"a\"\"b\"") << QStringList{"a\"b"};
    QTest::newRow("escaped quote") << QStringLiteral("a\\\"b") << QStringList{"a\"b"};
    QTest::newRow("backslash pairs") << QStringLiteral("a\\\\\"b c\" d\\\\e")
                                     << QStringList{"a\\b c", "d\\\\e"};
    QTest::newRow("open quote runs on")
        << QStringLiteral("\"a; $(rm -rf x)") << QStringList{"a; $(rm -rf x)"};
    QTest::newRow("shell text") << QStringLiteral("x;y $(id) `id` -v")
                                << QStringList{"x;y", "$(id)", "`id`", "-v"};
}

void ProgramStartTest::splitsLikeAWindowsProgram() {
    QFETCH(QString, text);
    QFETCH(QStringList, arguments);
    QCOMPARE(splitWindowsArguments(text), arguments);
}

void ProgramStartTest::readsRequestsBack() {
    const StartRequest file = parseStartRequest(shellOpenCommandLine(QStringLiteral("/x/\"a b\".txt")));
    QCOMPARE(file.kind, StartRequest::Kind::OpenFile);
    QCOMPARE(file.path, QStringLiteral("/x/\"a b\".txt"));
    const StartRequest web = parseStartRequest(browserCommandLine(QStringLiteral("\"http:\"\r\nb\r\n")));
    QCOMPARE(web.kind, StartRequest::Kind::Browse);
    QCOMPARE(web.arguments, (QStringList{"http:", "b"}));
    for (const QString &line : {QString(), kRundll, QStringLiteral("sh -c x"), kBrowser})
        QCOMPARE(parseStartRequest(line).kind, StartRequest::Kind::Unknown);
}

void ProgramStartTest::buildsArgvWithoutOptionsOrShell_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("arguments"); // empty: refused
    const QString hostile = QStringLiteral("/lib/a \"b\"; $(rm -rf ~) `x`.txt");
    QTest::newRow("path unchanged") << shellOpenCommandLine(hostile) << QStringList{hostile};
    QTest::newRow("relative option-like path")
        << shellOpenCommandLine(QStringLiteral("--help")) << QStringList{"./--help"};
    QTest::newRow("no path") << shellOpenCommandLine(QString()) << QStringList{};
    QTest::newRow("address") << browserCommandLine(QStringLiteral("https://a.org/?q=1;$(id)\r\n"))
                             << QStringList{"https://a.org/?q=1;$(id)"};
    QTest::newRow("first word only") << browserCommandLine(
                                            QStringLiteral("\"\" \"https://a.org\"\r\nnote\r\n"))
                                     << QStringList{"https://a.org"};
    QTest::newRow("no scheme") << browserCommandLine(QStringLiteral("www.nature.com"))
                               << QStringList{"http://www.nature.com"};
    QTest::newRow("option-like address") << browserCommandLine(QStringLiteral("--version")) << QStringList{};
    QTest::newRow("quoted option") << browserCommandLine(QStringLiteral("\"-x\" https://a.org"))
                                   << QStringList{};
    QTest::newRow("no address") << browserCommandLine(QStringLiteral("\r\n")) << QStringList{};
    QTest::newRow("unknown form") << QStringLiteral("xdg-open /etc/passwd") << QStringList{};
}

void ProgramStartTest::buildsArgvWithoutOptionsOrShell() {
    QFETCH(QString, commandLine);
    QFETCH(QStringList, arguments);
    const DesktopCommand command = desktopCommandFor(commandLine);
    if (arguments.isEmpty()) {
        QVERIFY(command.program.isEmpty());
        QVERIFY(command.refusal.contains(QLatin1Char(' ')));
        QVERIFY(command.refusal.at(0).unicode() > 0x2000); // Chinese first
        return;
    }
    QCOMPARE(command.refusal, QString());
    QCOMPARE(command.program, QStringLiteral("xdg-open"));
    QCOMPARE(command.arguments, arguments);
}

void ProgramStartTest::buttonsRequestTheirCommandLines() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QTest::mouseClick(window.Command12, Qt::LeftButton);
    QTest::mouseClick(window.Command2, Qt::LeftButton);
    QTest::mouseClick(window.Command2, Qt::LeftButton);
    window.ShellOpen(lib.path(QStringLiteral("no such file.pdf")));
    const QList<QPair<QString, WindowStyle>> expected{
        {kRundll + lib.appDir() + QStringLiteral("/BGM/Tuition.wmv\""), WindowStyle::NormalFocus},
        {kBrowser + QStringLiteral(" https://varnotel.github.io/blog/"), WindowStyle::MinimizedFocus},
        {kBrowser + QStringLiteral(" https://varnotel.github.io/blog/"), WindowStyle::MinimizedFocus},
        {kRundll + lib.appDir() + QStringLiteral("/no such file.pdf\""), WindowStyle::NormalFocus}};
    QCOMPARE(seams.starter.requests, expected);
    QCOMPARE(seams.errors.messages, QStringList{});
}

void ProgramStartTest::homepageButtonNeedsAnAddress_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("handedOn"); // empty: nothing started
    QTest::newRow("default") << QByteArray("\"http:\"\r\n") << QString();
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("blank lines") << QByteArray("  \r\n\r\n") << QString();
    QTest::newRow("one address") << QByteArray("https://www.nature.com/")
                                 << QStringLiteral("https://www.nature.com/\r\n");
    QTest::newRow("three lines") << QByteArray("\"https://a.org\"\r\nsecond\rthird")
                                 << QStringLiteral("\"https://a.org\"\r\nsecond\r\nthird\r\n");
}

void ProgramStartTest::homepageButtonNeedsAnAddress() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, handedOn);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QTest::mouseClick(window.Command3, Qt::LeftButton); // nothing selected yet
    QCOMPARE(seams.errors.messages.size(), 1);
    window.List1->setListIndex(0);
    lib.write(QStringLiteral("Homepage/Nature.txt"), bytes);
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    if (handedOn.isEmpty()) {
        QCOMPARE(seams.starter.requests.size(), 0);
        QCOMPARE(seams.errors.messages.size(), 3);
        QVERIFY(seams.errors.messages.last().contains(QStringLiteral("Modify journal homepage")));
        return;
    }
    QCOMPARE(seams.errors.messages.size(), 1);
    const QPair<QString, WindowStyle> request{kBrowser + QLatin1Char(' ') + handedOn,
                                              WindowStyle::MinimizedFocus};
    QCOMPARE(seams.starter.requests, (QList<QPair<QString, WindowStyle>>{request, request}));
    QCOMPARE(holdsHomepageAddress(handedOn), true);
}

void ProgramStartTest::failedStartIsReported() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("Homepage/Nature.txt"), "https://a.org");
    TestPlatform seams;
    seams.starter.answer = {false, QStringLiteral("reason")};
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(0);
    QFile::remove(lib.path(QStringLiteral("Homepage/Nature.txt")));
    QTest::mouseClick(window.Command3, Qt::LeftButton); // the file has gone
    QCOMPARE(seams.starter.requests.size(), 0);
    for (QPushButton *button : {window.Command2, window.Command12})
        QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(seams.starter.requests.size(), 2);
    QCOMPARE(seams.errors.messages.size(), 3);
    QVERIFY(seams.errors.messages.at(0).contains(lib.path(QStringLiteral("Homepage/Nature.txt"))));
    for (const QString &message : seams.errors.messages.mid(1)) {
        QVERIFY(message.startsWith(QStringLiteral("无法启动程序。 The program could not be started.")));
        QVERIFY(message.endsWith(QStringLiteral("reason")));
    }
}

QTEST_MAIN(ProgramStartTest)
#include "tst_program_start.moc"
