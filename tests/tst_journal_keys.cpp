#include "editing/DeleteJournal.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using Op = FaultyFileSystem::Op;

namespace {

// Acta with two articles and one in a subfolder, Dalton and Nature with none.
void makeLibrary(const TempLibrary &lib) {
    for (const char *name : {"Acta", "Dalton", "Nature"}) {
        lib.addJournal(QLatin1String(name));
        lib.makeFolder(QStringLiteral("Example/") + QLatin1String(name));
    }
    lib.makeFolder(QStringLiteral("Example/Acta/old"));
    lib.write(QStringLiteral("Example/Acta/a.pdf"), "a");
    lib.write(QStringLiteral("Example/Acta/b.pdf"), "b");
    lib.write(QStringLiteral("Example/Acta/old/c.pdf"), "c");
}

} // namespace

class JournalKeysTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void deletesRecordsThenArticlesKeepingTheFolder();
    void deleteKeyOnTheWindow_data();
    void deleteKeyOnTheWindow();
    void otherKeysOnlyRebuild();
    void dWithoutJournalDeletesNothing();
    void reportsWhatCannotBeDeleted();

private:
    QTemporaryDir m_dataHome;
};

void JournalKeysTest::initTestCase() {
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
}

void JournalKeysTest::deletesRecordsThenArticlesKeepingTheFolder() {
    TempLibrary lib;
    makeLibrary(lib);
    QFile::remove(lib.path(QStringLiteral("Notes/Acta.txt")));
    FaultyFileSystem fs;
    const EditOutcome outcome = deleteJournalByKey(fs, lib.appDir(), QStringLiteral("Acta"));
    QVERIFY(!outcome.failed());
    QCOMPARE(outcome.deleted, (QStringList{lib.path("Journal/Acta.txt"), lib.path("IF/Acta.txt"),
                                           lib.path("Homepage/Acta.txt"), lib.path("Example/Acta/a.pdf"),
                                           lib.path("Example/Acta/b.pdf")}));
    QVERIFY(lib.isFolder(QStringLiteral("Example/Acta/old")));
    QVERIFY(lib.exists(QStringLiteral("Example/Acta/old/c.pdf")));
    QCOMPARE(fs.calls(Op::RemoveFolder), 0);

    lib.write(QStringLiteral("Example/.txt"), "x"); // the blank entry's example step is skipped
    lib.addJournal(QString());
    QVERIFY(!deleteJournalByKey(fs, lib.appDir(), QString()).failed());
    QVERIFY(lib.exists(QStringLiteral("Example/.txt")));
    QVERIFY(!lib.exists(QStringLiteral("Journal/.txt")));
    QVERIFY(!lib.exists(QStringLiteral("Notes/.txt")));
}

void JournalKeysTest::deleteKeyOnTheWindow_data() {
    QTest::addColumn<char>("key");
    QTest::newRow("D") << 'D';
    QTest::newRow("d") << 'd';
}

// The key reaches the list after the rebuild: its type-ahead selects Dalton,
// which the key did not delete.
void JournalKeysTest::deleteKeyOnTheWindow() {
    QFETCH(char, key);
    TempLibrary lib;
    makeLibrary(lib);
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QCOMPARE(window.surfaceLines(), statistics(3, 3));
    window.List1->setListIndex(0);
    QTest::keyClick(window.List1, key);
    QVERIFY(seams.errors.messages.isEmpty());
    QVERIFY(!lib.exists(QStringLiteral("Journal/Acta.txt")));
    QVERIFY(!lib.exists(QStringLiteral("Example/Acta/a.pdf")));
    QVERIFY(lib.isFolder(QStringLiteral("Example/Acta")));
    QCOMPARE(window.List1->items(), (QStringList{QStringLiteral("Dalton"), QStringLiteral("Nature")}));
    QCOMPARE(window.surfaceLines(), statistics(2, 1));
    QCOMPARE(window.List1->text(), QStringLiteral("Dalton"));
    QVERIFY(lib.exists(QStringLiteral("Journal/Dalton.txt")));
}

void JournalKeysTest::otherKeysOnlyRebuild() {
    TempLibrary lib;
    makeLibrary(lib);
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    for (char key : {'e', 'E', '1', ' '}) {
        window.List1->setListIndex(0);
        QVERIFY(window.List3->listCount() > 0);
        const QString shown = window.Text3->text();
        lib.write(QStringLiteral("Example/Nature/new.pdf"), "n"); // changed outside: shows after the key
        const QStringList before = lib.tree();
        QTest::keyClick(window.List1, key);
        QCOMPARE(lib.tree(), before);
        QFile::remove(lib.path(QStringLiteral("Example/Nature/new.pdf")));
        QCOMPARE(window.List1->listIndex(), -1);
        QCOMPARE(window.List3->listCount(), 0);
        QCOMPARE(window.Text3->text(), shown);
        QCOMPARE(window.surfaceLines(), statistics(3, 4));
    }
    QVERIFY(seams.errors.messages.isEmpty());

    Form1 fresh(lib.appDir(), seams.platform()); // its type-ahead has seen no key yet
    fresh.Form_Load();
    fresh.List1->setListIndex(0);
    QTest::keyClick(fresh.List1, 'n');
    QCOMPARE(fresh.List1->text(), QStringLiteral("Nature"));
}

void JournalKeysTest::dWithoutJournalDeletesNothing() {
    TempLibrary lib;
    makeLibrary(lib);
    lib.write(QStringLiteral("Example/loose.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    const QStringList before = lib.tree();
    window.List1->setFocus();
    QTest::keyClick(window.List1, 'D');
    QCOMPARE(lib.tree(), before);
    QVERIFY(seams.errors.messages.isEmpty());
    QCOMPARE(window.surfaceLines(), statistics(3, 4));
}

void JournalKeysTest::reportsWhatCannotBeDeleted() {
    TempLibrary lib;
    makeLibrary(lib);
    TestPlatform seams;
    FaultyFileSystem fs;
    fs.stubborn << lib.path(QStringLiteral("Journal/Acta.txt"))
                << lib.path(QStringLiteral("Example/Acta/b.pdf"));
    Form1 window(lib.appDir(), {fs, seams.starter, seams.player, seams.prompt, seams.clock, seams.errors});
    window.Form_Load();
    window.List1->setListIndex(0);
    QTest::keyClick(window.List1, 'd');
    QCOMPARE(seams.errors.messages.size(), 1);
    QVERIFY(seams.errors.messages.first().contains(fs.stubborn.at(0)));
    QVERIFY(seams.errors.messages.first().contains(fs.stubborn.at(1)));
    QVERIFY(!lib.exists(QStringLiteral("IF/Acta.txt")));
    QVERIFY(!lib.exists(QStringLiteral("Example/Acta/a.pdf")));
    QCOMPARE(window.List1->items(),
             (QStringList{QStringLiteral("Acta"), QStringLiteral("Dalton"), QStringLiteral("Nature")}));
    QCOMPARE(window.surfaceLines(), statistics(3, 2));
}

QTEST_MAIN(JournalKeysTest)
#include "tst_journal_keys.moc"
