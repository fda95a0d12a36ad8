#include "editing/RenameJournal.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using Op = FaultyFileSystem::Op;

namespace {

const QStringList kRecordFolders{QStringLiteral("Journal"), QStringLiteral("IF"), QStringLiteral("Homepage"),
                                 QStringLiteral("Notes")};

// Cell with an edited IF file and two articles, one in a subfolder; Nature beside it.
void makeLibrary(const TempLibrary &lib, bool withExampleFolder = true) {
    lib.addJournal(QStringLiteral("Cell"));
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("IF/Cell.txt"), "\"IF: 41.6\"\r\n");
    if (withExampleFolder) {
        lib.makeFolder(QStringLiteral("Example/Cell/old"));
        lib.write(QStringLiteral("Example/Cell/a.pdf"), "a");
        lib.write(QStringLiteral("Example/Cell/old/b.pdf"), "b");
    }
}

QStringList renamedTree(const QStringList &tree, const QString &from, const QString &to) {
    QStringList result;
    for (QString entry : tree) {
        for (const QString &folder : kRecordFolders)
            if (entry == folder + "/" + from + ".txt")
                entry = folder + "/" + to + ".txt";
        if (entry.startsWith("Example/" + from + "/"))
            entry = "Example/" + to + entry.mid(8 + from.size());
        result << entry;
    }
    result.sort();
    return result;
}

} // namespace

class RenameJournalTest : public QObject {
    Q_OBJECT
private slots:
    void renamesFilesAndExampleFolder_data();
    void renamesFilesAndExampleFolder();
    void givesAJournalWithoutFolderAnEmptyOne();
    void passesOverMissingRecordFiles();
    void unchangedNameRenamesNothing();
    void refusesTakenNames_data();
    void refusesTakenNames();
    void refusesBadNamesAndEntries();
    void undoesEveryStepOfAFailedRename_data();
    void undoesEveryStepOfAFailedRename();
    void reportsWhatCouldNotBeUndone();
    void buttonRenamesAndRecounts();
    void buttonWithoutAJournalAsksNothing();
};

void RenameJournalTest::renamesFilesAndExampleFolder_data() {
    QTest::addColumn<QString>("newName");
    QTest::newRow("new name") << QStringLiteral("Cell Reports");
    QTest::newRow("letter case") << QStringLiteral("CELL");
    QTest::newRow("blanks and Chinese") << QStringLiteral(" 细胞 Cell ");
}

void RenameJournalTest::renamesFilesAndExampleFolder() {
    QFETCH(QString, newName);
    TempLibrary lib;
    makeLibrary(lib);
    const QStringList before = lib.tree();
    PosixFileSystem fs;
    const EditOutcome outcome = renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), newName);
    QVERIFY2(!outcome.failed(), qPrintable(outcome.messages.join('\n')));
    QCOMPARE(outcome.renamed.size(), 5);
    QCOMPARE(lib.tree(), renamedTree(before, QStringLiteral("Cell"), newName));
    QCOMPARE(lib.read("IF/" + newName + ".txt"), QByteArray("\"IF: 41.6\"\r\n"));
    QCOMPARE(lib.read("Notes/" + newName + ".txt"), QByteArray("\"Cell:\"\r\n")); // keeps its old text
    QCOMPARE(lib.read("Example/" + newName + "/old/b.pdf"), QByteArray("b"));
}

void RenameJournalTest::givesAJournalWithoutFolderAnEmptyOne() {
    TempLibrary lib;
    makeLibrary(lib, false);
    PosixFileSystem fs;
    const EditOutcome outcome =
        renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), QStringLiteral("Cell Press"));
    QVERIFY(!outcome.failed());
    QCOMPARE(outcome.created, QStringList{lib.path(QStringLiteral("Example/Cell Press"))});
    QVERIFY(lib.isFolder(QStringLiteral("Example/Cell Press")));
    QVERIFY(!lib.exists(QStringLiteral("Journal/Cell.txt")));
}

void RenameJournalTest::passesOverMissingRecordFiles() {
    TempLibrary lib;
    makeLibrary(lib);
    QFile::remove(lib.path(QStringLiteral("Notes/Cell.txt")));
    QFile::remove(lib.path(QStringLiteral("Homepage/Cell.txt")));
    const QStringList before = lib.tree();
    PosixFileSystem fs;
    const EditOutcome outcome =
        renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), QStringLiteral("Cells"));
    QVERIFY(!outcome.failed());
    QCOMPARE(lib.tree(), renamedTree(before, QStringLiteral("Cell"), QStringLiteral("Cells")));
}

void RenameJournalTest::unchangedNameRenamesNothing() {
    for (bool withFolder : {true, false}) {
        TempLibrary lib;
        makeLibrary(lib, withFolder);
        QStringList expected = lib.tree();
        if (!withFolder)
            expected = (expected << QStringLiteral("Example/Cell/"));
        expected.sort();
        PosixFileSystem fs;
        const EditOutcome outcome =
            renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), QStringLiteral("Cell"));
        QVERIFY(!outcome.failed());
        QVERIFY(outcome.renamed.isEmpty());
        QCOMPARE(lib.tree(), expected);
    }
}

void RenameJournalTest::refusesTakenNames_data() {
    QTest::addColumn<QString>("taken");
    QTest::newRow("another journal") << QStringLiteral("Journal/Nature.txt");
    QTest::newRow("a stray notes file") << QStringLiteral("Notes/Nature.txt");
    QTest::newRow("a folder in IF") << QStringLiteral("IF/Nature.txt/");
    QTest::newRow("an example folder") << QStringLiteral("Example/Nature/");
    QTest::newRow("a file in Example") << QStringLiteral("Example/Nature");
}

void RenameJournalTest::refusesTakenNames() {
    QFETCH(QString, taken);
    for (bool withFolder : {true, false}) {
        TempLibrary lib;
        makeLibrary(lib, withFolder);
        for (const QString &folder : kRecordFolders)
            QFile::remove(lib.path(folder + "/Nature.txt"));
        if (taken.endsWith('/'))
            lib.makeFolder(taken);
        else
            lib.write(taken, "taken");
        const QStringList before = lib.tree();
        PosixFileSystem fs;
        const EditOutcome outcome =
            renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), QStringLiteral("Nature"));
        QCOMPARE(outcome.messages.size(), 1);
        QVERIFY(outcome.messages.first().contains(QStringLiteral("The new name is taken")));
        QCOMPARE(lib.tree(), before);
    }
}

void RenameJournalTest::refusesBadNamesAndEntries() {
    TempLibrary lib;
    makeLibrary(lib);
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n");
    lib.write(QStringLiteral("Journal/..txt"), "\"\"\r\n");
    const QStringList before = lib.tree();
    PosixFileSystem fs;
    for (const QString &newName : {QStringLiteral("Cell/Press"), QStringLiteral("Cell?"),
                                   QStringLiteral(".."), QString(252, QLatin1Char('c'))})
        QVERIFY(renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), newName).failed());
    for (const QString &oldName : {QString(), QStringLiteral("."), QStringLiteral("..")})
        QVERIFY(renameJournal(fs, lib.appDir(), oldName, QStringLiteral("Fresh")).failed());
    QVERIFY(!renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), QString()).failed()); // a cancel
    QCOMPARE(lib.tree(), before);
}

void RenameJournalTest::undoesEveryStepOfAFailedRename_data() {
    QTest::addColumn<bool>("withFolder");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("skip");
    for (int skip = 0; skip < 5; ++skip)
        QTest::addRow("rename %d", skip) << true << int(Op::Rename) << skip;
    QTest::newRow("creating the folder") << false << int(Op::CreateFolder) << 0;
}

void RenameJournalTest::undoesEveryStepOfAFailedRename() {
    QFETCH(bool, withFolder);
    QFETCH(int, op);
    QFETCH(int, skip);
    TempLibrary lib;
    makeLibrary(lib, withFolder);
    const QStringList before = lib.tree();
    FaultyFileSystem fs;
    fs.failOn(Op(op), skip);
    const EditOutcome outcome =
        renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), QStringLiteral("Cells"));
    QCOMPARE(outcome.messages.size(), 1);
    QVERIFY(outcome.messages.first().contains(QStringLiteral("injected failure")));
    QVERIFY(outcome.messages.first().contains(QStringLiteral("The changes made before were undone.")));
    QVERIFY(outcome.renamed.isEmpty());
    QCOMPARE(lib.tree(), before);
    QCOMPARE(lib.read(QStringLiteral("IF/Cell.txt")), QByteArray("\"IF: 41.6\"\r\n"));
}

void RenameJournalTest::reportsWhatCouldNotBeUndone() {
    TempLibrary lib;
    makeLibrary(lib, false);
    FaultyFileSystem fs;
    fs.failOn(Op::CreateFolder);
    fs.failOn(Op::Rename, 4); // the first rename back, of the notes file
    const EditOutcome outcome =
        renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), QStringLiteral("Cells"));
    QCOMPARE(outcome.messages.size(), 2);
    QVERIFY(!outcome.messages.first().contains(QStringLiteral("were undone")));
    QVERIFY(outcome.messages.at(1).contains(QStringLiteral("Cannot give back the old name")));
    QCOMPARE(outcome.renamed.size(), 1);
    QVERIFY(lib.exists(QStringLiteral("Notes/Cells.txt")));
    QVERIFY(lib.exists(QStringLiteral("Journal/Cell.txt")));
}

void RenameJournalTest::buttonRenamesAndRecounts() {
    TempLibrary lib;
    makeLibrary(lib);
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QCOMPARE(window.surfaceLines(), statistics(2, 2));

    window.List1->setListIndex(0);
    const QString shown = window.Text3->text();
    seams.prompt.confirmDefault = true;
    const QStringList before = lib.tree();
    QTest::mouseClick(window.Command4, Qt::LeftButton);
    QCOMPARE(seams.prompt.asked.size(), 1);
    QCOMPARE(seams.prompt.asked.first().prompt, QStringLiteral("输入新名称 Input a new name:"));
    QCOMPARE(seams.prompt.asked.first().title, QStringLiteral("重命名 Rename"));
    QCOMPARE(seams.prompt.asked.first().defaultText, QStringLiteral("Cell"));
    QCOMPARE(lib.tree(), before);
    QCOMPARE(window.List1->listIndex(), -1);

    seams.prompt.confirmDefault = false;
    seams.prompt.answers << QStringLiteral("Cell Reports") << QStringLiteral("Cell Reports");
    window.List1->setListIndex(0);
    QTest::mouseClick(window.Command4, Qt::LeftButton);
    QCOMPARE(window.List1->items(), (QStringList{QStringLiteral("Cell Reports"), QStringLiteral("Nature")}));
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.List3->listCount(), 0);
    QCOMPARE(window.Text3->text(), shown);
    QCOMPARE(window.surfaceLines(), statistics(2, 2));
    QVERIFY(lib.exists(QStringLiteral("Example/Cell Reports/old/b.pdf")));
    QVERIFY(seams.errors.messages.isEmpty());

    window.List1->setListIndex(1); // Nature onto Cell Reports: refused
    const QStringList beforeRefusal = lib.tree();
    QTest::mouseClick(window.Command4, Qt::LeftButton);
    QCOMPARE(seams.errors.messages.size(), 1);
    QCOMPARE(lib.tree(), beforeRefusal);
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.surfaceLines(), statistics(2, 2));
}

void RenameJournalTest::buttonWithoutAJournalAsksNothing() {
    TempLibrary lib;
    makeLibrary(lib);
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n"); // after the start-up purge
    lib.write(QStringLiteral("Example/loose.pdf"), "x");
    window.RecountLibrary();
    QCOMPARE(window.List1->list(0), QString());
    for (qsizetype index : {qsizetype(-1), qsizetype(0)}) {
        window.List1->setListIndex(index);
        const QStringList before = lib.tree();
        seams.prompt.answers = {QStringLiteral("Fresh")};
        QTest::mouseClick(window.Command4, Qt::LeftButton);
        QVERIFY(seams.prompt.asked.isEmpty());
        QCOMPARE(seams.errors.messages.size(), index + 2);
        QCOMPARE(lib.tree(), before);
        QCOMPARE(window.List1->listIndex(), -1);
        QCOMPARE(window.surfaceLines(), statistics(3, 3));
    }
}

QTEST_MAIN(RenameJournalTest)
#include "tst_rename_journal.moc"
