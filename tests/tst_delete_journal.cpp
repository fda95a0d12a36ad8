#include "editing/DeleteJournal.h"
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

QStringList without(QStringList tree, const QString &prefix) {
    tree.removeIf([&](const QString &entry) { return entry.startsWith(prefix); });
    return tree;
}

QStringList withoutJournal(const QStringList &tree, const QString &name) {
    QStringList result = tree;
    for (const char *folder : {"Journal/", "IF/", "Homepage/", "Notes/"})
        result.removeAll(QLatin1String(folder) + name + ".txt");
    return result;
}

} // namespace

class DeleteJournalTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void deletesArticlesFolderAndRecords_data();
    void deletesArticlesFolderAndRecords();
    void keepsAFolderThatHoldsASubfolder();
    void leavesFilesLyingInExampleAlone();
    void neverEmptiesALinkedFolder();
    void reportsWhatCannotBeDeletedAndGoesOn();
    void triesAResistingArticleTwice();
    void buttonDeletesAndRecounts();
    void buttonWithoutSelectionDeletesNothing();

private:
    QTemporaryDir m_dataHome;
};

void DeleteJournalTest::initTestCase() {
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
}

void DeleteJournalTest::deletesArticlesFolderAndRecords_data() {
    QTest::addColumn<QStringList>("articles");
    QTest::addColumn<QStringList>("missingRecords");
    QTest::addColumn<bool>("withFolder");
    QTest::newRow("three articles") << QStringList{"a.pdf", "b.doc", ".hidden"} << QStringList{} << true;
    QTest::newRow("empty folder") << QStringList{} << QStringList{} << true;
    QTest::newRow("no folder") << QStringList{} << QStringList{} << false;
    QTest::newRow("records missing") << QStringList{"a.pdf"} << QStringList{"Homepage", "Notes"} << true;
}

void DeleteJournalTest::deletesArticlesFolderAndRecords() {
    QFETCH(QStringList, articles);
    QFETCH(QStringList, missingRecords);
    QFETCH(bool, withFolder);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.addJournal(QStringLiteral("Acta Physica"));
    lib.makeFolder(QStringLiteral("Example/Acta Physica"));
    lib.write(QStringLiteral("Example/Acta Physica/keep.pdf"), "k");
    if (withFolder)
        lib.makeFolder(QStringLiteral("Example/Acta"));
    for (const QString &article : articles)
        lib.write("Example/Acta/" + article, article.toUtf8());
    for (const QString &folder : missingRecords)
        QFile::remove(lib.path(folder + "/Acta.txt"));
    const QStringList expected =
        withoutJournal(without(lib.tree(), QStringLiteral("Example/Acta/")), QStringLiteral("Acta"));
    PosixFileSystem fs;
    const EditOutcome outcome = deleteJournal(fs, lib.appDir(), QStringLiteral("Acta"));
    QVERIFY2(!outcome.failed(), qPrintable(outcome.messages.join('\n')));
    QCOMPARE(outcome.deleted.size(), articles.size() + (withFolder ? 1 : 0) + 4 - missingRecords.size());
    QCOMPARE(lib.tree(), expected);
    for (const QString &article : articles) { // into the trash, restorable
        QCOMPARE(
            QDir(m_dataHome.filePath("Trash/files")).entryList(QDir::Files | QDir::Hidden).contains(article),
            true);
    }
    if (QTest::currentDataTag() == QLatin1String("three articles")) {
        QFile info(m_dataHome.filePath(QStringLiteral("Trash/info/b.doc.trashinfo")));
        QVERIFY(info.open(QIODevice::ReadOnly));
        const QByteArray text = info.readAll();
        QVERIFY(text.startsWith("[Trash Info]\nPath=" + QFile::encodeName(lib.path("Example/Acta/b.doc")) +
                                "\nDeletionDate="));
    }
}

void DeleteJournalTest::keepsAFolderThatHoldsASubfolder() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.makeFolder(QStringLiteral("Example/Acta/old"));
    lib.write(QStringLiteral("Example/Acta/a.pdf"), "a");
    lib.write(QStringLiteral("Example/Acta/old/b.pdf"), "b");
    PosixFileSystem fs;
    const EditOutcome outcome = deleteJournal(fs, lib.appDir(), QStringLiteral("Acta"));
    QCOMPARE(outcome.messages.size(), 1);
    QVERIFY(outcome.messages.first().contains(QStringLiteral("still holds subfolders")));
    QCOMPARE(lib.tree(), (QStringList{"BGM/", "Example/", "Example/Acta/", "Example/Acta/old/",
                                      "Example/Acta/old/b.pdf", "Homepage/", "IF/", "Journal/", "Notes/"}));
}

void DeleteJournalTest::leavesFilesLyingInExampleAlone() {
    TempLibrary lib;
    lib.addJournal(QString());
    lib.addJournal(QStringLiteral("Acta"));
    lib.write(QStringLiteral("Example/.txt"), "x");
    lib.write(QStringLiteral("Example/loose.pdf"), "x");
    const QStringList expected = withoutJournal(lib.tree(), QString());
    PosixFileSystem fs;
    QVERIFY(!deleteJournal(fs, lib.appDir(), QString()).failed());
    QCOMPARE(lib.tree(), expected);
    lib.write(QStringLiteral("Journal/..txt"), "x");
    QVERIFY(!deleteJournal(fs, lib.appDir(), QStringLiteral(".")).failed());
    QCOMPARE(lib.tree(), expected);
    QVERIFY(deleteJournal(fs, lib.appDir(), QStringLiteral("../Journal/Acta")).failed());
    QCOMPARE(lib.tree(), expected);
}

void DeleteJournalTest::neverEmptiesALinkedFolder() {
    TempLibrary lib;
    QTemporaryDir outside;
    QFile(outside.filePath(QStringLiteral("precious.pdf"))).open(QIODevice::WriteOnly);
    lib.addJournal(QStringLiteral("Acta"));
    QVERIFY(QFile::link(outside.path(), lib.path(QStringLiteral("Example/Acta"))));
    PosixFileSystem fs;
    const EditOutcome outcome = deleteJournal(fs, lib.appDir(), QStringLiteral("Acta"));
    QCOMPARE(outcome.messages.size(), 1);
    QVERIFY(outcome.messages.first().contains(QStringLiteral("is a link")));
    QVERIFY(QFile::exists(outside.filePath(QStringLiteral("precious.pdf"))));
    QVERIFY(!lib.exists(QStringLiteral("Journal/Acta.txt")));
}

void DeleteJournalTest::reportsWhatCannotBeDeletedAndGoesOn() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.makeFolder(QStringLiteral("Example/Acta"));
    lib.write(QStringLiteral("Example/Acta/a.pdf"), "a");
    lib.write(QStringLiteral("Example/Acta/b.pdf"), "b");
    FaultyFileSystem fs;
    fs.stubborn << lib.path(QStringLiteral("Example/Acta/a.pdf")) << lib.path(QStringLiteral("IF/Acta.txt"));
    const EditOutcome outcome = deleteJournal(fs, lib.appDir(), QStringLiteral("Acta"));
    QCOMPARE(outcome.messages.size(), 2);
    QVERIFY(outcome.messages.at(0).contains(fs.stubborn.at(0)));
    QVERIFY(outcome.messages.at(1).contains(fs.stubborn.at(1)));
    QCOMPARE(lib.tree(), (QStringList{"BGM/", "Example/", "Example/Acta/", "Example/Acta/a.pdf", "Homepage/",
                                      "IF/", "IF/Acta.txt", "Journal/", "Notes/"}));

    FaultyFileSystem folderStays;
    folderStays.failOn(Op::RemoveFolder);
    lib.addJournal(QStringLiteral("Cell"));
    lib.makeFolder(QStringLiteral("Example/Cell"));
    const EditOutcome kept = deleteJournal(folderStays, lib.appDir(), QStringLiteral("Cell"));
    QCOMPARE(kept.messages.size(), 1);
    QVERIFY(kept.messages.first().contains(QStringLiteral("injected failure")));
    QVERIFY(lib.isFolder(QStringLiteral("Example/Cell")));
    QVERIFY(!lib.exists(QStringLiteral("Journal/Cell.txt")));
}

// Without a trash the file is removed; a file that fails once is tried again,
// and the folder then stays.
void DeleteJournalTest::triesAResistingArticleTwice() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.makeFolder(QStringLiteral("Example/Acta"));
    lib.write(QStringLiteral("Example/Acta/a.pdf"), "a");
    lib.write(QStringLiteral("Example/Acta/b.pdf"), "b");
    FaultyFileSystem fs;
    fs.failOn(Op::MoveToTrash, 1);
    fs.failOn(Op::RemoveFile, 0);
    const EditOutcome outcome = deleteJournal(fs, lib.appDir(), QStringLiteral("Acta"));
    QVERIFY(!outcome.failed());
    QCOMPARE(lib.tree(),
             (QStringList{"BGM/", "Example/", "Example/Acta/", "Homepage/", "IF/", "Journal/", "Notes/"}));
}

void DeleteJournalTest::buttonDeletesAndRecounts() {
    TempLibrary lib;
    for (const char *name : {"Acta", "Cell", "Nature"}) {
        lib.addJournal(QLatin1String(name));
        lib.makeFolder(QStringLiteral("Example/") + QLatin1String(name));
    }
    for (const char *article : {"a.pdf", "b.pdf", "c.pdf"})
        lib.write(QStringLiteral("Example/Cell/") + QLatin1String(article), "x");
    lib.write(QStringLiteral("Example/Nature/n.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QCOMPARE(window.surfaceLines(), statistics(3, 4));
    window.List1->setListIndex(1);
    const QString shown = window.Text4->text();
    const QStringList expected =
        withoutJournal(without(lib.tree(), QStringLiteral("Example/Cell/")), QStringLiteral("Cell"));
    QTest::mouseClick(window.Command11, Qt::LeftButton);
    QVERIFY(seams.prompt.asked.isEmpty());
    QVERIFY(seams.errors.messages.isEmpty());
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(window.List1->items(), (QStringList{QStringLiteral("Acta"), QStringLiteral("Nature")}));
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.List3->listCount(), 0);
    QCOMPARE(window.Text4->text(), shown);
    QCOMPARE(window.surfaceLines(), statistics(2, 1));
}

void DeleteJournalTest::buttonWithoutSelectionDeletesNothing() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.write(QStringLiteral("Example/loose.pdf"), "x");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    const QStringList before = lib.tree();
    QTest::mouseClick(window.Command11, Qt::LeftButton);
    QCOMPARE(seams.errors.messages.size(), 1);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(window.surfaceLines(), statistics(1, 1));

    lib.addJournal(QString()); // the blank entry, after the start-up purge
    window.RecountLibrary();
    window.List1->setListIndex(0);
    QCOMPARE(window.List1->text(), QString());
    QTest::mouseClick(window.Command11, Qt::LeftButton);
    QCOMPARE(seams.errors.messages.size(), 1);
    QCOMPARE(window.List1->items(), QStringList{QStringLiteral("Acta")});
    QVERIFY(lib.exists(QStringLiteral("Example/loose.pdf")));
    QCOMPARE(window.surfaceLines(), statistics(1, 1));
}

QTEST_MAIN(DeleteJournalTest)
#include "tst_delete_journal.moc"
