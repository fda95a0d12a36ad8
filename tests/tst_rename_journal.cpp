#include "editing/RenameJournal.h"
#include "support/WindowFixture.h"

#include <QPushButton>

using namespace varnotel;
using namespace varnotel::test;
using Op = FaultyFileSystem::Op;

namespace {

const QByteArray kCellImpact = "\"IF: 41.6\"\r\n";

// Cell with an edited IF file and two articles, one in a subfolder; Nature beside it.
void makeLibrary(const TempLibrary &lib, bool withExampleFolder = true) {
    lib.addJournal(QStringLiteral("Cell"));
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("IF/Cell.txt"), kCellImpact);
    if (withExampleFolder) {
        lib.write(QStringLiteral("Example/Cell/a.pdf"), "a");
        lib.write(QStringLiteral("Example/Cell/old/b.pdf"), "b");
    }
}

} // namespace

class RenameJournalTest : public QObject {
    Q_OBJECT
private slots:
    void renamesFilesAndExampleFolder_data();
    void renamesFilesAndExampleFolder();
    void refusesBeforeRenamingAnything_data();
    void refusesBeforeRenamingAnything();
    void neverReplacesATarget();
    void undoesAFailedRename_data();
    void undoesAFailedRename();
    void reportsWhatCouldNotBeUndone();
    void buttonRenamesAndRecounts();
    void buttonWithoutAJournalAsksNothing();
};

void RenameJournalTest::renamesFilesAndExampleFolder_data() {
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("withFolder");
    QTest::addColumn<QStringList>("missing"); // record files that are not there
    QTest::newRow("new name") << QStringLiteral("Cell Reports") << true << QStringList{};
    QTest::newRow("letter case") << QStringLiteral("CELL") << true << QStringList{};
    QTest::newRow("blanks and Chinese") << QStringLiteral(" 细胞 Cell ") << true << QStringList{};
    QTest::newRow("without example folder") << QStringLiteral("Cell Press") << false << QStringList{};
    QTest::newRow("records missing") << QStringLiteral("Cells") << true << QStringList{"Notes", "Homepage"};
    QTest::newRow("unchanged") << QStringLiteral("Cell") << true << QStringList{};
    QTest::newRow("unchanged, no folder") << QStringLiteral("Cell") << false << QStringList{};
}

void RenameJournalTest::renamesFilesAndExampleFolder() {
    QFETCH(QString, newName);
    QFETCH(bool, withFolder);
    QFETCH(QStringList, missing);
    TempLibrary lib;
    makeLibrary(lib, withFolder);
    for (const QString &folder : missing)
        QFile::remove(lib.path(folder + "/Cell.txt"));
    QStringList expected;
    for (QString entry : lib.tree()) {
        if (entry.startsWith("Example/Cell/") || entry.endsWith("/Cell.txt"))
            entry.replace(entry.indexOf("Cell"), 4, newName);
        expected << entry;
    }
    if (!withFolder) // a journal without one gets an empty example folder
        expected << "Example/" + newName + "/";
    expected.sort();
    PosixFileSystem fs;
    const EditOutcome outcome = renameJournal(fs, lib.appDir(), QStringLiteral("Cell"), newName);
    QVERIFY2(!outcome.failed(), qPrintable(outcome.messages.join('\n')));
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(lib.read("IF/" + newName + ".txt"), kCellImpact);
}

void RenameJournalTest::refusesBeforeRenamingAnything_data() {
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("taken"); // made before; a folder when it ends in "/"
    QTest::addColumn<bool>("withFolder");
    const QString cell = QStringLiteral("Cell"), nature = QStringLiteral("Nature");
    QTest::newRow("another journal") << cell << nature << "Journal/Nature.txt" << true;
    QTest::newRow("a stray notes file") << cell << nature << "Notes/Nature.txt" << false;
    QTest::newRow("a folder in IF") << cell << nature << "IF/Nature.txt/" << true;
    QTest::newRow("an example folder") << cell << nature << "Example/Nature/" << true;
    QTest::newRow("an example folder, none to move") << cell << nature << "Example/Nature/" << false;
    QTest::newRow("a file in Example") << cell << nature << "Example/Nature" << false;
    for (const QString &bad : {QStringLiteral("Cell/Press"), QStringLiteral("Cell?"), QStringLiteral(".."),
                               QString(252, QLatin1Char('c'))})
        QTest::addRow("new name %s", qPrintable(bad.left(10))) << cell << bad << QString() << true;
    for (const QString &bad : {QString(), QStringLiteral("."), QStringLiteral("..")})
        QTest::addRow("old name '%s'", qPrintable(bad))
            << bad << QStringLiteral("Fresh") << QString() << true;
    QTest::newRow("cancel") << cell << QString() << QString() << true;
}

void RenameJournalTest::refusesBeforeRenamingAnything() {
    QFETCH(QString, oldName);
    QFETCH(QString, newName);
    QFETCH(QString, taken);
    QFETCH(bool, withFolder);
    TempLibrary lib;
    makeLibrary(lib, withFolder);
    for (const QString &folder : kRecordFolders)
        QFile::remove(lib.path(folder + "/Nature.txt"));
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n");
    lib.write(QStringLiteral("Journal/..txt"), "\"\"\r\n");
    if (taken.endsWith('/'))
        lib.makeFolder(taken);
    else if (!taken.isEmpty())
        lib.write(taken, "taken");
    const QStringList before = lib.tree();
    FaultyFileSystem fs;
    const EditOutcome outcome = renameJournal(fs, lib.appDir(), oldName, newName);
    QCOMPARE(outcome.messages.size(), newName.isEmpty() ? 0 : 1);
    QVERIFY(newName.isEmpty() || isBilingual(outcome.messages.first()));
    if (!taken.isEmpty())
        QVERIFY(outcome.messages.first().contains(lib.path(taken.chopped(taken.endsWith('/') ? 1 : 0))));
    QCOMPARE(fs.calls(Op::Rename) + fs.calls(Op::CreateFolder), 0);
    QCOMPARE(lib.tree(), before);
}

// Even a target that appears after the check is not replaced.
void RenameJournalTest::neverReplacesATarget() {
    TempLibrary lib;
    lib.write(QStringLiteral("Journal/a.txt"), "a");
    lib.write(QStringLiteral("Journal/b.txt"), "b");
    PosixFileSystem fs;
    QVERIFY(!fs.renameNoReplace(lib.path(QStringLiteral("Journal/a.txt")),
                                lib.path(QStringLiteral("Journal/b.txt"))));
    QCOMPARE(lib.read(QStringLiteral("Journal/b.txt")), QByteArray("b"));
    QVERIFY(fs.renameNoReplace(lib.path(QStringLiteral("Journal/a.txt")),
                               lib.path(QStringLiteral("Journal/A.txt"))));
}

void RenameJournalTest::undoesAFailedRename_data() {
    QTest::addColumn<bool>("withFolder");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("skip");
    for (int skip = 0; skip < 5; ++skip)
        QTest::addRow("rename %d", skip) << true << int(Op::Rename) << skip;
    QTest::newRow("creating the folder") << false << int(Op::CreateFolder) << 0;
}

void RenameJournalTest::undoesAFailedRename() {
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
    QVERIFY(isBilingual(outcome.messages.first()));
    QVERIFY(outcome.messages.first().contains(QStringLiteral("injected failure")));
    QVERIFY(outcome.messages.first().contains(QStringLiteral("undone")));
    QVERIFY(outcome.renamed.isEmpty());
    QCOMPARE(lib.tree(), before);
    QCOMPARE(lib.read(QStringLiteral("IF/Cell.txt")), kCellImpact);
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
    QVERIFY(!outcome.messages.first().contains(QStringLiteral("undone")));
    QVERIFY(outcome.messages.at(1).contains(lib.path(QStringLiteral("Notes/Cells.txt"))));
    QCOMPARE(outcome.renamed.size(), 1);
    QVERIFY(lib.exists(QStringLiteral("Notes/Cells.txt")));
    QVERIFY(lib.exists(QStringLiteral("Journal/Cell.txt")));
}

void RenameJournalTest::buttonRenamesAndRecounts() {
    TempLibrary lib;
    makeLibrary(lib);
    Window w(lib);
    const QStringList before = lib.tree();
    w.form.List1->setListIndex(0);
    w.seams.prompt.confirmDefault = true;
    QTest::mouseClick(w.form.Command4, Qt::LeftButton);
    QCOMPARE(w.seams.prompt.asked.size(), 1);
    QCOMPARE(w.seams.prompt.asked.first().prompt, QStringLiteral("输入新名称 Input a new name:"));
    QCOMPARE(w.seams.prompt.asked.first().title, QStringLiteral("重命名 Rename"));
    QCOMPARE(w.seams.prompt.asked.first().defaultText, QStringLiteral("Cell"));
    QCOMPARE(lib.tree(), before);
    checkRebuilt(w.form, {QStringLiteral("Cell"), QStringLiteral("Nature")}, 2);

    w.seams.prompt.confirmDefault = false;
    const QStringList journals{QStringLiteral("Cell Reports"), QStringLiteral("Nature")};
    for (int index : {0, 1}) { // Cell, then Nature onto the new name: refused
        w.seams.prompt.answers = {QStringLiteral("Cell Reports")};
        w.form.List1->setListIndex(index);
        const QStringList beforeClick = lib.tree();
        QTest::mouseClick(w.form.Command4, Qt::LeftButton);
        QVERIFY(lib.exists(QStringLiteral("Example/Cell Reports/old/b.pdf")));
        QCOMPARE(w.seams.errors.messages.size(), index);
        QVERIFY(index == 0 || (isBilingual(w.seams.errors.messages.first()) && lib.tree() == beforeClick));
        checkRebuilt(w.form, journals, 2);
    }
}

void RenameJournalTest::buttonWithoutAJournalAsksNothing() {
    TempLibrary lib;
    makeLibrary(lib);
    Window w(lib);
    lib.write(QStringLiteral("Journal/.txt"), "\"\"\r\n"); // the blank entry, after the start-up purge
    lib.write(QStringLiteral("Example/loose.pdf"), "x");
    w.form.RecountLibrary();
    for (qsizetype index : {qsizetype(-1), qsizetype(0)}) {
        w.form.List1->setListIndex(index); // showing an entry may make its missing files
        const QStringList before = lib.tree();
        w.seams.prompt.answers = {QStringLiteral("Fresh")};
        QTest::mouseClick(w.form.Command4, Qt::LeftButton);
        QVERIFY(w.seams.prompt.asked.isEmpty());
        QCOMPARE(w.seams.errors.messages.size(), index + 2);
        QVERIFY(isBilingual(w.seams.errors.messages.last()));
        QCOMPARE(lib.tree(), before);
        checkRebuilt(w.form, {QString(), QStringLiteral("Cell"), QStringLiteral("Nature")}, 3);
    }
}

QTEST_MAIN(RenameJournalTest)
#include "tst_rename_journal.moc"
