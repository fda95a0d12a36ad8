#include "editing/DeleteJournal.h"
#include "support/WindowFixture.h"

#include <QPushButton>

#include <algorithm>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using Op = FaultyFileSystem::Op;

class DeleteJournalTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void deletesArticlesFolderAndRecords_data();
    void deletesArticlesFolderAndRecords();
    void neverLeavesTheJournalsOwnFiles();
    void reportsWhatCannotBeDeletedAndGoesOn_data();
    void reportsWhatCannotBeDeletedAndGoesOn();
    void buttonDeletesTheSelectedJournalOnly();
    void keysOnTheList_data();
    void keysOnTheList();

private:
    std::optional<QTemporaryDir> m_dataHome; // a fresh trash for each test
};

void DeleteJournalTest::init() {
    m_dataHome.emplace();
    QVERIFY(m_dataHome->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome->path()));
}

void DeleteJournalTest::deletesArticlesFolderAndRecords_data() {
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QStringList>("articles");
    QTest::addColumn<QStringList>("missingRecords");
    QTest::addColumn<bool>("withFolder");
    QTest::newRow("three articles") << false << QStringList{"a.pdf", "b.doc", ".hidden"} << QStringList{}
                                    << true;
    QTest::newRow("empty folder") << false << QStringList{} << QStringList{} << true;
    QTest::newRow("no folder") << false << QStringList{} << QStringList{} << false;
    QTest::newRow("records missing") << false << QStringList{"a.pdf"} << QStringList{"Homepage", "Notes"}
                                     << true;
    QTest::newRow("a subfolder") << false << QStringList{"a.pdf", "old/b.pdf"} << QStringList{} << true;
    QTest::newRow("key, subfolder") << true << QStringList{"a.pdf", "b.pdf", "old/c.pdf"}
                                    << QStringList{"Notes"} << true;
    QTest::newRow("key, empty folder") << true << QStringList{} << QStringList{} << true;
    QTest::newRow("key, no folder") << true << QStringList{} << QStringList{} << false;
}

void DeleteJournalTest::deletesArticlesFolderAndRecords() {
    QFETCH(bool, byKey);
    QFETCH(QStringList, articles);
    QFETCH(QStringList, missingRecords);
    QFETCH(bool, withFolder);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.addJournal(QStringLiteral("Acta Physica"));
    lib.write(QStringLiteral("Example/Acta Physica/keep.pdf"), "k");
    if (withFolder)
        lib.makeFolder(QStringLiteral("Example/Acta"));
    for (const QString &article : articles)
        lib.write("Example/Acta/" + article, article.toUtf8());
    for (const QString &folder : missingRecords)
        QFile::remove(lib.path(folder + "/Acta.txt"));
    const bool subfolder =
        std::any_of(articles.cbegin(), articles.cend(), [](auto &a) { return a.contains('/'); });
    const bool folderGoes = withFolder && !byKey && !subfolder; // the key keeps the folder
    QStringList expected = lib.tree(), loose;
    for (const QString &folder : kRecordFolders)
        expected.removeAll(folder + "/Acta.txt");
    for (const QString &article : articles)
        if (!article.contains('/') && expected.removeAll("Example/Acta/" + article))
            loose << article;
    if (folderGoes)
        expected.removeAll(QStringLiteral("Example/Acta/"));

    PosixFileSystem fs;
    const EditOutcome outcome = (byKey ? deleteJournalByKey : deleteJournal)(fs, lib.appDir(), "Acta");
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(outcome.messages.size(),
             withFolder && !byKey && subfolder ? 1 : 0); // the folder kept, and said so
    QVERIFY(outcome.messages.isEmpty() || isBilingual(outcome.messages.first()));
    // The button empties the example folder first, the key deletes the record files first.
    const auto recordFirst = [&](const QString &path) { return path.endsWith("/Acta.txt") == byKey; };
    QVERIFY(std::is_partitioned(outcome.deleted.cbegin(), outcome.deleted.cend(), recordFirst));
    // Every file went into the trash, restorable.
    const QString trash = m_dataHome->filePath(QStringLiteral("Trash/"));
    const QStringList trashed = QDir(trash + "files").entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(trashed.size(), outcome.deleted.size() - (folderGoes ? 1 : 0));
    for (const QString &article : loose)
        QVERIFY(trashed.contains(article));
    if (!loose.isEmpty()) {
        QFile info(trash + "info/" + loose.first() + ".trashinfo");
        QVERIFY(info.open(QIODevice::ReadOnly));
        QVERIFY(info.readAll().startsWith("[Trash Info]\nPath=" +
                                          QFile::encodeName(lib.path("Example/Acta/" + loose.first()))));
    }
}

// The blank entry's and "."'s record files go, but nothing in Example is theirs;
// a name leading out of the record folders is refused; a linked example folder is not emptied.
void DeleteJournalTest::neverLeavesTheJournalsOwnFiles() {
    for (auto remove : {&deleteJournal, &deleteJournalByKey}) {
        TempLibrary lib;
        QTemporaryDir outside;
        lib.addJournal(QString());
        lib.addJournal(QStringLiteral("Acta"));
        lib.write(QStringLiteral("Journal/..txt"), "x");
        lib.write(QStringLiteral("Example/.txt"), "x");
        lib.write(QStringLiteral("Example/loose.pdf"), "x");
        QFile(outside.filePath(QStringLiteral("precious.pdf"))).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(outside.path(), lib.path(QStringLiteral("Example/Acta"))));
        const QStringList before = lib.tree();
        PosixFileSystem fs;
        const EditOutcome refused = remove(fs, lib.appDir(), QStringLiteral("../Journal/Acta"));
        QVERIFY(refused.failed() && isBilingual(refused.messages.first()));
        QCOMPARE(lib.tree(), before);

        QVERIFY(!remove(fs, lib.appDir(), QString()).failed());
        QVERIFY(!remove(fs, lib.appDir(), QStringLiteral(".")).failed());
        const EditOutcome linked = remove(fs, lib.appDir(), QStringLiteral("Acta"));
        QCOMPARE(linked.messages.size(), 1);
        QVERIFY(isBilingual(linked.messages.first()));
        QVERIFY(linked.messages.first().contains(lib.path(QStringLiteral("Example/Acta"))));
        QVERIFY(QFile::exists(outside.filePath(QStringLiteral("precious.pdf"))));
        QCOMPARE(lib.tree(), (QStringList{"BGM/", "Example/", "Example/.txt", "Example/Acta",
                                          "Example/loose.pdf", "Homepage/", "IF/", "Journal/", "Notes/"}));
    }
}

void DeleteJournalTest::reportsWhatCannotBeDeletedAndGoesOn_data() {
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<bool>("trash");
    QTest::addColumn<QStringList>("stubborn");
    QTest::addColumn<QList<int>>("faults"); // operation, successful calls before it fails
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("messages");
    QTest::newRow("an article and a record")
        << false << true << QStringList{"Example/Acta/a.pdf", "IF/Acta.txt"} << QList<int>{}
        << QStringList{"Example/Acta/", "Example/Acta/a.pdf", "IF/Acta.txt"} << 2;
    QTest::newRow("key, a record and an article")
        << true << true << QStringList{"Journal/Acta.txt", "Example/Acta/b.pdf"} << QList<int>{}
        << QStringList{"Example/Acta/", "Example/Acta/b.pdf", "Journal/Acta.txt"} << 2;
    QTest::newRow("the folder") << false << true << QStringList{} << QList<int>{int(Op::RemoveFolder), 0}
                                << QStringList{"Example/Acta/"} << 1;
    // A file that resists once is tried again; the folder then stays.
    QTest::newRow("second attempt") << false << true << QStringList{}
                                    << QList<int>{int(Op::MoveToTrash), 1, int(Op::RemoveFile), 0}
                                    << QStringList{"Example/Acta/"} << 0;
    QTest::newRow("no trash") << false << false << QStringList{} << QList<int>{} << QStringList{} << 0;
}

void DeleteJournalTest::reportsWhatCannotBeDeletedAndGoesOn() {
    QFETCH(bool, byKey);
    QFETCH(bool, trash);
    QFETCH(QStringList, stubborn);
    QFETCH(QList<int>, faults);
    QFETCH(QStringList, kept);
    QFETCH(int, messages);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Acta"));
    lib.write(QStringLiteral("Example/Acta/a.pdf"), "a");
    lib.write(QStringLiteral("Example/Acta/b.pdf"), "b");
    if (!trash) { // the trash cannot be made: files are removed instead
        lib.write(QStringLiteral("BGM/not a folder"), "x");
        qputenv("XDG_DATA_HOME", QFile::encodeName(lib.path(QStringLiteral("BGM/not a folder"))));
    }
    FaultyFileSystem fs;
    for (const QString &path : stubborn)
        fs.stubborn << lib.path(path);
    for (qsizetype i = 0; i + 1 < faults.size(); i += 2)
        fs.failOn(Op(faults[i]), faults[i + 1]);
    const EditOutcome outcome = (byKey ? deleteJournalByKey : deleteJournal)(fs, lib.appDir(), "Acta");
    QCOMPARE(outcome.messages.size(), messages);
    for (const QString &message : outcome.messages)
        QVERIFY(isBilingual(message));
    for (const QString &path : std::as_const(fs.stubborn))
        QVERIFY(outcome.messages.join('\n').contains(path));
    kept << "BGM/"
         << "Example/"
         << "Homepage/"
         << "IF/"
         << "Journal/"
         << "Notes/";
    if (!trash)
        kept << "BGM/not a folder";
    kept.sort();
    QCOMPARE(lib.tree(), kept);
}

void DeleteJournalTest::buttonDeletesTheSelectedJournalOnly() {
    TempLibrary lib;
    for (const char *name : {"Acta", "Cell", "Nature"}) {
        lib.addJournal(QLatin1String(name));
        lib.makeFolder(QStringLiteral("Example/") + QLatin1String(name));
    }
    for (const char *article : {"Cell/a.pdf", "Cell/b.pdf", "Cell/c.pdf", "Nature/n.pdf", "loose.pdf"})
        lib.write(QStringLiteral("Example/") + QLatin1String(article), "x");
    Window w(lib);
    QCOMPARE(w.form.surfaceLines(), statistics(3, 5));
    const QStringList journals{QStringLiteral("Acta"), QStringLiteral("Nature")};
    w.form.List1->setListIndex(1);
    QTest::mouseClick(w.form.Command11, Qt::LeftButton);
    QVERIFY(w.seams.prompt.asked.isEmpty());
    QVERIFY(w.seams.errors.messages.isEmpty());
    QVERIFY(!lib.exists(QStringLiteral("Example/Cell")) && !lib.exists(QStringLiteral("Journal/Cell.txt")));
    checkRebuilt(w.form, journals, 2);

    const QStringList before = lib.tree(); // nothing selected: nothing deleted, and said so
    QTest::mouseClick(w.form.Command11, Qt::LeftButton);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(w.seams.errors.messages.size(), 1);
    QVERIFY(isBilingual(w.seams.errors.messages.first()));
    checkRebuilt(w.form, journals, 2);

    lib.addJournal(QString()); // the blank entry, after the start-up purge
    w.form.RecountLibrary();
    w.form.List1->setListIndex(0);
    QCOMPARE(w.form.List1->text(), QString());
    QTest::mouseClick(w.form.Command11, Qt::LeftButton);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(w.seams.errors.messages.size(), 1);
    checkRebuilt(w.form, journals, 2);
}

void DeleteJournalTest::keysOnTheList_data() {
    QTest::addColumn<char>("key");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("stubborn"); // files that cannot be deleted
    QTest::addColumn<QStringList>("deleted");
    QTest::addColumn<int>("journals");
    QTest::addColumn<int>("articles");
    QTest::addColumn<QString>("selectedAfter"); // by the list's own type-ahead, on the rebuilt list
    const QStringList acta{"Journal/Acta.txt", "IF/Acta.txt",        "Homepage/Acta.txt",
                           "Notes/Acta.txt",   "Example/Acta/a.pdf", "Example/Acta/b.pdf"};
    const QStringList inUse{"Journal/Acta.txt", "Example/Acta/b.pdf"};
    QTest::newRow("D") << 'D' << 0 << QStringList{} << acta << 2 << 2 << "Dalton";
    QTest::newRow("d") << 'd' << 0 << QStringList{} << acta << 2 << 2 << "Dalton";
    QTest::newRow("d, in use") << 'd' << 0 << inUse << QStringList{acta[1], acta[2], acta[3], acta[4]} << 3
                               << 3 << "Dalton";
    QTest::newRow("D, nothing selected") << 'D' << -1 << QStringList{} << QStringList{} << 3 << 4 << "Dalton";
    QTest::newRow("n") << 'n' << 0 << QStringList{} << QStringList{} << 3 << 4 << "Nature";
    for (char key : {'e', 'E', '1', ' '})
        QTest::addRow("%c", key) << key << 0 << QStringList{} << QStringList{} << 3 << 4 << QString();
}

void DeleteJournalTest::keysOnTheList() {
    QFETCH(char, key);
    QFETCH(int, selected);
    QFETCH(QStringList, stubborn);
    QFETCH(QStringList, deleted);
    QFETCH(int, journals);
    QFETCH(int, articles);
    QFETCH(QString, selectedAfter);
    TempLibrary lib;
    for (const char *name : {"Acta", "Dalton", "Nature"}) {
        lib.addJournal(QLatin1String(name));
        lib.makeFolder(QStringLiteral("Example/") + QLatin1String(name));
    }
    for (const char *article : {"a.pdf", "b.pdf", "old/c.pdf"})
        lib.write(QStringLiteral("Example/Acta/") + QLatin1String(article), "x");
    Window w(lib);
    for (const QString &path : stubborn)
        w.seams.fs.stubborn << lib.path(path);
    w.form.List1->setListIndex(selected);
    lib.write(QStringLiteral("Example/Nature/new.pdf"), "n"); // changed outside: shows after the key
    lib.write(QStringLiteral("IF/.txt"), "x"); // the blank entry's: no key deletes it without a selection
    QStringList expected = lib.tree();
    for (const QString &file : deleted)
        expected.removeAll(file);
    QTest::keyClick(w.form.List1, key);
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(w.seams.errors.messages.size(), stubborn.isEmpty() ? 0 : 1); // one message for all
    for (const QString &path : std::as_const(w.seams.fs.stubborn))
        QVERIFY(isBilingual(w.seams.errors.messages.first()) &&
                w.seams.errors.messages.first().contains(path));
    QCOMPARE(w.form.List1->text(), selectedAfter);
    QCOMPARE(w.form.List1->listCount(), journals);
    QCOMPARE(w.form.surfaceLines(), statistics(journals, articles));
}

QTEST_MAIN(DeleteJournalTest)
#include "tst_delete_journal.moc"
