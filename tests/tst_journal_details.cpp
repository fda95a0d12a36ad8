#include "editing/JournalDetails.h"
#include "library/RecordFile.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;

namespace {

struct Shown {
    QString impactFactor, homepage, notes;
    QStringList articles;
};

Shown shown(const Form1 &window) {
    return {window.Text3->text(), window.Text2->text(), window.Text4->text(), window.List3->items()};
}

qsizetype indexOf(const Form1 &window, const QString &journal) {
    return window.List1->items().indexOf(journal);
}

} // namespace

class JournalDetailsTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheFieldFilesAsRead_data();
    void showsTheFieldFilesAsRead();
    void completesAMissingJournalAndShowsItAtOnce();
    void blankEntryAddressesTheBlankNameFiles();
    void failuresAreToldOncePerSelection();
    void hugeOrBinaryFilesAreCutShort();
};

void JournalDetailsTest::showsTheFieldFilesAsRead_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("default") << QByteArray("\"IF:\"\r\n") << QStringLiteral("\"IF:\"\r\n");
    QTest::newRow("several lines, no final end")
        << QByteArray("a\r\nb\nc\rd") << QStringLiteral("a\r\nb\nc\r\nd\r\n");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("code page 936") << QByteArray::fromHex("d3b0cfecd2f2d7d320352e32")
                                   << QStringLiteral("影响因子 5.2\r\n");
    QTest::newRow("utf-8") << QByteArray("\"影响因子: 41.6\"\r\n")
                           << QStringLiteral("\"影响因子: 41.6\"\r\n");
}

void JournalDetailsTest::showsTheFieldFilesAsRead() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Cell"));
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("IF/Nature.txt"), bytes);
    lib.write(QStringLiteral("Notes/Nature.txt"), bytes);
    lib.makeFolder(QStringLiteral("Example/Nature/2020"));
    lib.write(QStringLiteral("Example/Nature/b.pdf"), "x");
    lib.write(QStringLiteral("Example/Nature/2020/a.doc"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    const QStringList before = lib.tree();
    window.List1->setListIndex(indexOf(window, QStringLiteral("Nature")));
    QCOMPARE(window.List1->toolTip(), QStringLiteral("Nature"));
    const Shown nature = shown(window);
    QCOMPARE(nature.impactFactor, text);
    QCOMPARE(nature.homepage, QStringLiteral("\"http:\"\r\n"));
    QCOMPARE(nature.notes, text);
    QCOMPARE(nature.articles, (QStringList{QStringLiteral("b.pdf"), QStringLiteral("a.doc")}));
    QCOMPARE(lib.tree(), before);
    // The user edits the file outside; the next selection reads it afresh.
    lib.write(QStringLiteral("IF/Nature.txt"), "\"IF: 64.8\"");
    window.List1->setListIndex(indexOf(window, QStringLiteral("Nature")));
    QCOMPARE(window.Text3->text(), QStringLiteral("\"IF: 64.8\"\r\n"));
    QCOMPARE(seams.errors.messages, QStringList{});
}

void JournalDetailsTest::completesAMissingJournalAndShowsItAtOnce() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Cell"));
    lib.makeFolder(QStringLiteral("Example/Cell"));
    lib.write(QStringLiteral("Example/Cell/c.pdf"), "x");
    const QString name = QStringLiteral("Journal of a very long name that is wider than the list (JVLN)");
    lib.write(QStringLiteral("Journal/") + name + QStringLiteral(".txt"), "\"\"\r\n");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(indexOf(window, QStringLiteral("Cell")));
    QCOMPARE(window.List3->items(), QStringList{QStringLiteral("c.pdf")});
    for (int round = 0; round < 2; ++round) {
        window.List1->setListIndex(indexOf(window, name));
        QCOMPARE(window.List1->toolTip(), name);
        const Shown created = shown(window);
        QCOMPARE(created.impactFactor, QStringLiteral("\"IF:\"\r\n"));
        QCOMPARE(created.homepage, QStringLiteral("\"http:\"\r\n"));
        QCOMPARE(created.notes, QLatin1Char('"') + name + QStringLiteral(":\"\r\n"));
        QCOMPARE(created.articles, QStringList{});
    }
    QCOMPARE(lib.read(QStringLiteral("IF/") + name + QStringLiteral(".txt")), QByteArray("\"IF:\"\r\n"));
    QCOMPARE(lib.read(QStringLiteral("Homepage/") + name + QStringLiteral(".txt")),
             QByteArray("\"http:\"\r\n"));
    QCOMPARE(lib.read(QStringLiteral("Notes/") + name + QStringLiteral(".txt")),
             QByteArray("\"") + name.toUtf8() + QByteArray(":\"\r\n"));
    QVERIFY(lib.isFolder(QStringLiteral("Example/") + name));
    QCOMPARE(seams.errors.messages, QStringList{});
}

void JournalDetailsTest::blankEntryAddressesTheBlankNameFiles() {
    TempLibrary lib;
    lib.makeFolder(QStringLiteral("Example/Cell"));
    lib.write(QStringLiteral("Example/Cell/c.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n");
    window.RecountLibrary(); // listed without the start-up purge
    QCOMPARE(window.List1->items(), QStringList{QString()});
    window.List1->setListIndex(0);
    QCOMPARE(window.List1->toolTip(), QString());
    QCOMPARE(lib.read(QStringLiteral("IF/.txt")), QByteArray("\"IF:\"\r\n"));
    QCOMPARE(lib.read(QStringLiteral("Homepage/.txt")), QByteArray("\"http:\"\r\n"));
    QCOMPARE(lib.read(QStringLiteral("Notes/.txt")), QByteArray("\":\"\r\n"));
    QCOMPARE(window.Text4->text(), QStringLiteral("\":\"\r\n"));
    // The blank name addresses Example itself, which exists and is listed.
    QCOMPARE(window.List3->items(), QStringList{QStringLiteral("c.pdf")});
}

void JournalDetailsTest::failuresAreToldOncePerSelection() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Cell"));
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("Homepage/Nature.txt"), "https://www.nature.com/\r\n");
    lib.makeFolder(QStringLiteral("Example/Cell"));
    lib.write(QStringLiteral("Example/Cell/c.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(indexOf(window, QStringLiteral("Cell")));
    for (const char *folder : {"IF", "Notes", "Example"})
        QVERIFY(QDir(lib.path(QLatin1String(folder))).removeRecursively());
    const QStringList before = lib.tree();
    window.List1->setListIndex(indexOf(window, QStringLiteral("Nature")));
    QCOMPARE(lib.tree(), before);
    QCOMPARE(seams.errors.messages.size(), 1);
    const QString message = seams.errors.messages.first();
    QVERIFY(
        message.startsWith(QStringLiteral("该期刊未能完整显示。 The journal could not be shown in full.")));
    for (const char *missing : {"IF/Nature.txt", "Notes/Nature.txt", "Example/Nature"})
        QVERIFY2(message.contains(lib.path(QLatin1String(missing))), missing);
    const Shown partly = shown(window);
    QCOMPARE(partly.impactFactor, QString());
    QCOMPARE(partly.homepage, QStringLiteral("https://www.nature.com/\r\n"));
    QCOMPARE(partly.notes, QString());
    QCOMPARE(partly.articles, QStringList{});

    // A file that cannot be read is told the same way; the window goes on.
    seams.fs.failOn(FaultyFileSystem::Op::Read, seams.fs.calls(FaultyFileSystem::Op::Read));
    lib.makeFolder(QStringLiteral("IF"));
    lib.makeFolder(QStringLiteral("Notes"));
    window.List1->setListIndex(indexOf(window, QStringLiteral("Nature")));
    QCOMPARE(seams.errors.messages.size(), 2);
    QVERIFY(seams.errors.messages.last().contains(QStringLiteral("Cannot read the file:")));
    QCOMPARE(window.Text3->text(), QString());
    QCOMPARE(window.Text2->text(), QStringLiteral("https://www.nature.com/\r\n"));
    QCOMPARE(window.Text4->text(), QStringLiteral("\"Nature:\"\r\n"));
}

void JournalDetailsTest::hugeOrBinaryFilesAreCutShort() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    QByteArray huge;
    for (int i = 0; i < 3 * 1024 * 1024 / 8; ++i)
        huge += "IF 5.2\r\n";
    QByteArray binary(2 * 1024 * 1024 + 3, '\0');
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32 *>(binary.data()), binary.size() / 4);
    lib.write(QStringLiteral("IF/Nature.txt"), huge);
    lib.write(QStringLiteral("Notes/Nature.txt"), binary);
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(0);
    QCOMPARE(window.Text3->text(), QString::fromLatin1(huge.left(kDisplayLimit)) + restNotShownNote());
    QVERIFY(window.Text4->text().endsWith(restNotShownNote()));
    QVERIFY(window.Text4->text().size() <= kDisplayLimit * 2 + restNotShownNote().size());
    QCOMPARE(window.Text2->text(), QStringLiteral("\"http:\"\r\n"));
    QCOMPARE(seams.errors.messages, QStringList{});
}

QTEST_MAIN(JournalDetailsTest)
#include "tst_journal_details.moc"
