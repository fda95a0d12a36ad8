// Showing a journal, starting other programs, editing the fields, Refresh.
#include "editing/JournalDetails.h"
#include "library/RecordFile.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "media/CommandLines.h"
#include "media/WindowsArguments.h"
#include "platform/DesktopProgramStarter.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

namespace {

const QString kBrowser = QStringLiteral("C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe");
const QString kRundll = QStringLiteral("rundll32 url.dll,FileProtocolHandler \"");
const QString kBlog = kBrowser + QStringLiteral(" https://varnotel.github.io/blog/");
using Requests = QList<QPair<QString, WindowStyle>>;

QStringList boxes(const Form1 &window) {
    return {window.Text3->text(), window.Text2->text(), window.Text4->text()};
}

} // namespace

class JournalDetailsTest : public QObject {
    Q_OBJECT
private slots:
    void readsEachFieldAndCompletesWhatIsMissing_data();
    void readsEachFieldAndCompletesWhatIsMissing();
    void binaryFilesAreCutShort();
    void selectionFillsTheBoxesAndTellsFailuresOnce();
    void fieldButtonsOpenTheirFile_data();
    void fieldButtonsOpenTheirFile();
    void refreshRebuildsAndTheBlankEntryIsHandled();
    void splitsLikeAWindowsProgram_data();
    void splitsLikeAWindowsProgram();
    void buildsArgvWithoutOptionsOrShell_data();
    void buildsArgvWithoutOptionsOrShell();
    void buttonsRequestTheirCommandLines();
};

void JournalDetailsTest::readsEachFieldAndCompletesWhatIsMissing_data() {
    QTest::addColumn<QByteArray>("bytes"); // null: the IF file and the example folder are missing
    QTest::addColumn<QString>("text");
    const QByteArray huge = QByteArray("IF 5.2\r\n").repeated(3 * 1024 * 1024 / 8);
    QTest::newRow("missing") << QByteArray() << QStringLiteral("\"IF:\"\r\n");
    QTest::newRow("several lines, no final end")
        << QByteArray("a\r\nb\nc\rd") << QStringLiteral("a\r\nb\nc\r\nd\r\n");
    QTest::newRow("empty") << QByteArray("") << QString();
    QTest::newRow("code page 936") << QByteArray::fromHex("d3b0cfecd2f2d7d320352e32")
                                   << QStringLiteral("影响因子 5.2\r\n");
    QTest::newRow("huge") << huge << QString::fromLatin1(huge.left(kDisplayLimit)) + restNotShownNote();
}

void JournalDetailsTest::readsEachFieldAndCompletesWhatIsMissing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TempLibrary lib;
    PosixFileSystem fs;
    lib.write(QStringLiteral("Journal/Nature.txt"), quoted(QString()));
    if (!bytes.isNull()) {
        lib.write(QStringLiteral("IF/Nature.txt"), bytes);
        lib.write(QStringLiteral("Example/Nature/b.pdf"), "x");
        lib.write(QStringLiteral("Example/Nature/2020/a.doc"), "x");
    }
    const JournalDetails details = loadJournalDetails(fs, lib.appDir(), QStringLiteral("Nature"));
    QCOMPARE(details.failures(), QStringList{});
    QCOMPARE(details.impactFactor.text, text);
    QCOMPARE(details.homepage.text, QStringLiteral("\"http:\"\r\n"));
    QCOMPARE(details.notes.text, QStringLiteral("\"Nature:\"\r\n"));
    QCOMPARE(lib.read(QStringLiteral("IF/Nature.txt")),
             bytes.isNull() ? quoted(QStringLiteral("IF:")) : bytes);
    QVERIFY(lib.isFolder(QStringLiteral("Example/Nature")));
    QCOMPARE(details.examples.articles, bytes.isNull() ? QStringList() : QStringList({"b.pdf", "a.doc"}));
}

void JournalDetailsTest::binaryFilesAreCutShort() {
    TempLibrary lib;
    QByteArray binary(2 * 1024 * 1024 + 4, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(binary.data()), binary.size() / 4);
    lib.write(QStringLiteral("Notes/Nature.txt"), binary);
    PosixFileSystem fs;
    const QString text = showFieldFile(fs, lib.appDir(), Record::Notes, QStringLiteral("Nature")).text;
    QVERIFY(text.endsWith(restNotShownNote()) && isBilingual(restNotShownNote()));
    QVERIFY(text.size() <= kDisplayLimit * 2 + restNotShownNote().size());
}

void JournalDetailsTest::selectionFillsTheBoxesAndTellsFailuresOnce() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Cell"));
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("Example/Cell/c.pdf"), "x");
    lib.write(QStringLiteral("Homepage/Nature.txt"), "https://www.nature.com/");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(0);
    QCOMPARE(window.List3->items(), QStringList{"c.pdf"});
    // Nature: an edit made outside and a file made just now show at once; its new example folder is empty.
    lib.write(QStringLiteral("IF/Nature.txt"), "\"IF: 64.8\"");
    QVERIFY(QFile::remove(lib.path(QStringLiteral("Notes/Nature.txt"))));
    window.List1->setListIndex(1);
    QCOMPARE(window.List1->toolTip(), QStringLiteral("Nature"));
    QCOMPARE(boxes(window),
             (QStringList{"\"IF: 64.8\"\r\n", "https://www.nature.com/\r\n", "\"Nature:\"\r\n"}));
    QCOMPARE(window.List3->items(), QStringList{});
    // An unreadable file and missing folders: one message; the boxes that failed are emptied.
    window.List1->setListIndex(0);
    for (const char *folder : {"Notes", "Example"})
        QVERIFY(QDir(lib.path(QLatin1String(folder))).removeRecursively());
    seams.fs.failOn(FaultyFileSystem::Op::Read, seams.fs.calls(FaultyFileSystem::Op::Read));
    const QStringList before = lib.tree();
    window.List1->setListIndex(1);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(seams.errors.messages.size(), 1);
    QVERIFY(isBilingual(seams.errors.messages.first()));
    for (const char *path : {"IF/Nature.txt", "Notes/Nature.txt", "Example/Nature"})
        QVERIFY2(seams.errors.messages.first().contains(lib.path(QLatin1String(path))), path);
    QCOMPARE(boxes(window), (QStringList{QString(), "https://www.nature.com/\r\n", QString()}));
    QCOMPARE(window.List3->items(), QStringList{});
}

void JournalDetailsTest::fieldButtonsOpenTheirFile_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("button");
    QTest::newRow("Modify IF") << QStringLiteral("IF") << QStringLiteral("Command5");
    QTest::newRow("Modify homepage") << QStringLiteral("Homepage") << QStringLiteral("Command6");
    QTest::newRow("Modify notes") << QStringLiteral("Notes") << QStringLiteral("Command1");
}

void JournalDetailsTest::fieldButtonsOpenTheirFile() {
    QFETCH(QString, folder);
    QFETCH(QString, button);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature Reviews"));
    const QString file = folder + QStringLiteral("/Nature Reviews.txt");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QPushButton *modify = window.findChild<QPushButton *>(button);
    QTest::mouseClick(modify, Qt::LeftButton); // nothing selected: told, nothing made or opened
    QCOMPARE(seams.errors.messages.size(), 1);
    QVERIFY(isBilingual(seams.errors.messages.first()));
    window.List1->setListIndex(0);
    const QByteArray created = lib.read(file);
    const QStringList shown = boxes(window);
    QVERIFY(QFile::remove(lib.path(file)));
    QTest::mouseClick(modify, Qt::LeftButton);
    QCOMPARE(lib.read(file), created);
    lib.write(file, "edited"); // never rewritten once it is there
    QTest::mouseClick(modify, Qt::LeftButton);
    QCOMPARE(lib.read(file), QByteArray("edited"));
    const QPair<QString, WindowStyle> request{shellOpenCommandLine(lib.path(file)), WindowStyle::NormalFocus};
    QCOMPARE(seams.starter.requests, (Requests{request, request}));
    QCOMPARE(boxes(window), shown);
    // A dangling link at the file's name is not written through; the failure is told.
    QVERIFY(QFile::remove(lib.path(file)) &&
            QFile::link(lib.path(QStringLiteral("outside.txt")), lib.path(file)));
    QTest::mouseClick(modify, Qt::LeftButton);
    QVERIFY(!lib.exists(QStringLiteral("outside.txt")));
    QCOMPARE(seams.starter.requests.size(), 2);
    QVERIFY(seams.errors.messages.size() == 2 && seams.errors.messages.last().contains(lib.path(file)));
}

void JournalDetailsTest::refreshRebuildsAndTheBlankEntryIsHandled() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Cell"));
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("Example/Nature/a.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.Text1->setText(QStringLiteral("zzz"));
    window.List1->setListIndex(1);
    const QStringList shown = boxes(window);
    // Changes made outside the program show after the click; the boxes keep their texts.
    QVERIFY(QFile::remove(lib.path(QStringLiteral("Journal/Cell.txt"))));
    lib.write(QStringLiteral("Example/Nature/b.pdf"), "x");
    lib.write(QStringLiteral("IF/Nature.txt"), "\"IF: 1\"\r\n");
    lib.write(QStringLiteral("Journal/.txt"), quoted(QString()));
    QTest::mouseClick(window.Command10, Qt::LeftButton);
    // The blank entry is listed and counted by the click that deletes its file.
    QCOMPARE(window.List1->items(), (QStringList{QString(), "Nature"}));
    QCOMPARE(window.surfaceLines(), statistics(2, 2));
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.List3->items(), QStringList{});
    QCOMPARE(boxes(window), shown);
    QCOMPARE(window.Text1->text(), QStringLiteral("zzz"));
    QVERIFY(!lib.exists(QStringLiteral("Journal/.txt")));
    // Selecting it completes the blank-name files; Example itself is its example folder.
    window.List1->setListIndex(0);
    QCOMPARE(window.List1->toolTip(), QString());
    QCOMPARE(boxes(window), (QStringList{"\"IF:\"\r\n", "\"http:\"\r\n", "\":\"\r\n"}));
    QCOMPARE(window.List3->items(), (QStringList{"a.pdf", "b.pdf"}));
    QCOMPARE(lib.read(QStringLiteral("Notes/.txt")), quoted(QStringLiteral(":")));
    // Editing opens a blank-name file without making it.
    QVERIFY(QFile::remove(lib.path(QStringLiteral("IF/.txt"))));
    QTest::mouseClick(window.Command5, Qt::LeftButton);
    QVERIFY(!lib.exists(QStringLiteral("IF/.txt")));
    QCOMPARE(seams.starter.requests.value(0).first,
             shellOpenCommandLine(lib.path(QStringLiteral("IF/.txt"))));
    // The next click purges one more blank-name file only.
    QTest::mouseClick(window.Command10, Qt::LeftButton);
    QCOMPARE(window.List1->items(), QStringList{"Nature"});
    QCOMPARE(window.surfaceLines(), statistics(1, 2));
    QVERIFY(!lib.exists(QStringLiteral("Homepage/.txt")) && lib.exists(QStringLiteral("Notes/.txt")));
    QCOMPARE(seams.errors.messages, QStringList{});
}

void JournalDetailsTest::splitsLikeAWindowsProgram_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("separators") << QStringLiteral(" a\tb\r\nc ") << QStringList{"a", "b", "c"};
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

void JournalDetailsTest::splitsLikeAWindowsProgram() {
    QFETCH(QString, text);
    QFETCH(QStringList, arguments);
    QCOMPARE(splitWindowsArguments(text), arguments);
}

void JournalDetailsTest::buildsArgvWithoutOptionsOrShell_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("arguments"); // empty: refused
    const QString hostile = QStringLiteral("/lib/a \"b\"; $(rm -rf ~) `x`.txt");
    QTest::newRow("path unchanged") << shellOpenCommandLine(hostile) << QStringList{hostile};
    QTest::newRow("option-like path") << shellOpenCommandLine("--help") << QStringList{"./--help"};
    QTest::newRow("no path") << shellOpenCommandLine(QString()) << QStringList{};
    QTest::newRow("address") << browserCommandLine("https://a.org/?q=1;$(id)\r\n")
                             << QStringList{"https://a.org/?q=1;$(id)"};
    QTest::newRow("first word only") << browserCommandLine("\"\" \"https://a.org\"\r\nnote\r\n")
                                     << QStringList{"https://a.org"};
    QTest::newRow("no scheme") << browserCommandLine("www.nature.com")
                               << QStringList{"http://www.nature.com"};
    QTest::newRow("option-like address") << browserCommandLine("--version") << QStringList{};
    QTest::newRow("quoted option") << browserCommandLine("\"-x\" https://a.org") << QStringList{};
    QTest::newRow("no address") << browserCommandLine("\r\n") << QStringList{};
    for (const QString &unknown : {kRundll, kBrowser, QStringLiteral("xdg-open /etc/passwd")})
        QTest::newRow(qPrintable(unknown)) << unknown << QStringList{};
}

void JournalDetailsTest::buildsArgvWithoutOptionsOrShell() {
    QFETCH(QString, commandLine);
    QFETCH(QStringList, arguments);
    const DesktopCommand command = desktopCommandFor(commandLine);
    QCOMPARE(command.program, arguments.isEmpty() ? QString() : QStringLiteral("xdg-open"));
    QCOMPARE(command.arguments, arguments);
    QCOMPARE(isBilingual(command.refusal), arguments.isEmpty());
}

void JournalDetailsTest::buttonsRequestTheirCommandLines() {
    QCOMPARE(kRundll.size(), 38);
    QCOMPARE(kBrowser.size(), 50);
    QCOMPARE(browserCommandLine(QString()), kBrowser + QLatin1Char(' '));
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QTest::mouseClick(window.Command3, Qt::LeftButton); // nothing selected yet
    QTest::mouseClick(window.Command12, Qt::LeftButton);
    QTest::mouseClick(window.Command2, Qt::LeftButton);
    window.ShellOpen(lib.path(QStringLiteral("a b.pdf")));
    Requests expected{{kRundll + lib.path(QStringLiteral("BGM/Tuition.wmv\"")), WindowStyle::NormalFocus},
                      {kBlog, WindowStyle::MinimizedFocus},
                      {kRundll + lib.path(QStringLiteral("a b.pdf\"")), WindowStyle::NormalFocus}};
    // The homepage file is handed on as read, unless it holds no address.
    const QList<QPair<QByteArray, QString>> homepages{
        {"\"http:\"\r\n", {}},
        {"", {}},
        {"\"\"\r\n", {}},
        {"  \r\n\r\n", {}},
        {"https://www.nature.com/", "https://www.nature.com/\r\n"},
        {"\"https://a.org\"\r\nsecond\rthird", "\"https://a.org\"\r\nsecond\r\nthird\r\n"}};
    window.List1->setListIndex(0);
    for (const auto &[bytes, handedOn] : homepages) {
        lib.write(QStringLiteral("Homepage/Nature.txt"), bytes);
        QTest::mouseClick(window.Command3, Qt::LeftButton);
        if (!handedOn.isEmpty())
            expected.append({kBrowser + QLatin1Char(' ') + handedOn, WindowStyle::MinimizedFocus});
    }
    QVERIFY(QFile::remove(lib.path(QStringLiteral("Homepage/Nature.txt"))));
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    QCOMPARE(seams.starter.requests, expected);
    QCOMPARE(seams.errors.messages.size(), 6); // each says how to set the homepage
    for (const QString &message : seams.errors.messages)
        QVERIFY(isBilingual(message) && message.contains(QStringLiteral("Modify journal homepage")));
    QVERIFY(seams.errors.messages.last().contains(lib.path(QStringLiteral("Homepage/Nature.txt"))));
    // A failed start is told with what was asked and why it failed.
    seams.starter.answer = {false, QStringLiteral("reason")};
    QTest::mouseClick(window.Command2, Qt::LeftButton);
    QVERIFY(isBilingual(seams.errors.messages.value(6)));
    QVERIFY(seams.errors.messages.value(6).contains(kBlog + QStringLiteral("\nreason")));
}

QTEST_MAIN(JournalDetailsTest)
#include "tst_journal_details.moc"
