#include "editing/AddJournal.h"
#include "editing/DeleteJournal.h"
#include "editing/RenameJournal.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "platform/DialogInputPrompt.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using Op = FaultyFileSystem::Op;

namespace {

const QByteArray kCellImpact = "\"IF: 41.6\"\r\n";
const QByteArray kNatureHome = "\"https://www.nature.com\"\r\n";

// Cell with an edited IF file and two articles, one in a subfolder; Nature with an edited
// home page and neither IF nor notes file.
void makeLibrary(const TempLibrary &lib, bool cellArticles = true) {
    lib.addJournal("Cell");
    lib.addJournal("Nature");
    lib.write("IF/Cell.txt", kCellImpact);
    lib.write("Homepage/Nature.txt", kNatureHome);
    QFile::remove(lib.path("IF/Nature.txt"));
    QFile::remove(lib.path("Notes/Nature.txt"));
    if (cellArticles) {
        lib.write("Example/Cell/a.pdf", "a");
        lib.write("Example/Cell/old/b.pdf", "b");
    }
}

// A journal's four record files, relative to the application folder, each behind mark.
QStringList records(const QString &name, const QString &mark = {}) {
    QStringList files;
    for (const char *folder : {"Journal/", "IF/", "Homepage/", "Notes/"})
        files << mark + folder + name + ".txt";
    return files;
}

// Pairs of an operation and the number of its calls that succeed before one fails.
void injectFaults(FaultyFileSystem &fs, const QList<int> &faults) {
    for (qsizetype i = 0; i + 1 < faults.size(); i += 2)
        fs.failOn(Op(faults[i]), faults[i + 1]);
}

} // namespace

class JournalEditingTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void addCreatesOnlyWhatIsMissing_data();
    void addCreatesOnlyWhatIsMissing();
    void renameMovesAllOrNothing_data();
    void renameMovesAllOrNothing();
    void renameNeverReplacesATarget();
    void deleteRemovesWhatItCan_data();
    void deleteRemovesWhatItCan();
    void deleteNeverLeavesTheJournalsOwnFiles();
    void windowPromptsReportsAndRebuilds_data();
    void windowPromptsReportsAndRebuilds();

private:
    std::optional<QTemporaryDir> m_dataHome; // a fresh trash for each test
};

void JournalEditingTest::init() {
    m_dataHome.emplace();
    QVERIFY(m_dataHome->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome->path()));
}

void JournalEditingTest::addCreatesOnlyWhatIsMissing_data() {
    QTest::addColumn<QString>("name");
    // A folder ("/"), a dangling link ("@"), a missing folder ("-"), a file that cannot be removed ("!").
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QList<int>>("fault");
    QTest::addColumn<QString>("failedFile"); // named in the message
    QTest::addColumn<bool>("adds");
    const QString bio = "Bio", nature = "Nature", none;
    const QList<int> ok;
    QTest::newRow("new, blanks and Chinese kept") << " 中国科学 Science China " << none << ok << none << true;
    QTest::newRow("ends in .txt") << "notes.txt" << none << ok << none << true;
    QTest::newRow("longest") << QString(251, 'x') << none << ok << none << true;
    QTest::newRow("partly missing") << nature << none << ok << none << true;
    QTest::newRow("existing") << "Cell" << none << ok << none << true;
    // A control character, a dot name, too long in bytes, and every reserved character.
    QStringList refused{"A\tB", "..", QString(249, 'x') + QChar(0x671F)};
    for (const QChar reserved : QStringLiteral("/\\:*?\"<>|"))
        refused << QStringLiteral("A") + reserved + QStringLiteral("B");
    for (int i = 0; i < refused.size(); ++i)
        QTest::addRow("refused %d", i) << refused[i] << none << ok << none << false;
    for (int skip = 0; skip < 4; ++skip) { // each file's scratch write, then its rename into place
        const QString file = records(bio)[skip];
        QTest::addRow("write %d", skip) << bio << none << QList<int>{int(Op::Write), skip} << file << false;
        QTest::addRow("rename %d", skip) << bio << none << QList<int>{int(Op::Rename), skip} << file << false;
    }
    QTest::newRow("folder in the way") << bio << "IF/Bio.txt/" << ok << "IF/Bio.txt" << false;
    QTest::newRow("link in the way") << nature << "Notes/Nature.txt@" << ok << "Notes/Nature.txt" << false;
    QTest::newRow("folder missing") << bio << "-Notes" << ok << "Notes/Bio.txt" << false;
    QTest::newRow("not taken back") << bio << "!IF/Bio.txt" << QList<int>{int(Op::Write), 3}
                                    << "Notes/Bio.txt" << false;
}

// What cannot be added leaves nothing behind but what cannot be removed again, and that is reported.
void JournalEditingTest::addCreatesOnlyWhatIsMissing() {
    QFETCH(QString, name);
    QFETCH(QString, obstacle);
    QFETCH(QList<int>, fault);
    QFETCH(QString, failedFile);
    QFETCH(bool, adds);
    TempLibrary lib;
    QTemporaryDir outside;
    makeLibrary(lib);
    FaultyFileSystem fs;
    injectFaults(fs, fault);
    if (obstacle.endsWith('/'))
        lib.makeFolder(obstacle);
    else if (obstacle.endsWith('@'))
        QVERIFY(QFile::link(outside.filePath("planted.txt"), lib.path(obstacle.chopped(1))));
    else if (obstacle.startsWith('-'))
        QVERIFY(QDir(lib.path(obstacle.mid(1))).removeRecursively());
    else if (obstacle.startsWith('!'))
        fs.stubborn << lib.path(obstacle.mid(1));
    QStringList expected = lib.tree();
    const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
    const QList<QByteArray> defaults{quoted(""), quoted("IF:"), quoted("http:"), quoted(name + ":")};
    for (int i = 0; adds && i < 4; ++i) {
        if (const QString file = records(name)[i]; !expected.contains(file)) {
            expected << file;
            QCOMPARE(lib.read(file), defaults[i]);
        }
    }
    expected.sort(); // no example folder yet: made when the journal is first shown
    QCOMPARE(outcome.messages.size(), adds ? 0 : 1 + fs.stubborn.size());
    for (const QString &message : outcome.messages)
        QVERIFY(isBilingual(message));
    for (const QString &path : std::as_const(fs.stubborn)) // left behind, and named
        QVERIFY(outcome.messages.last().contains(path) && QFile::remove(path));
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(lib.read("Homepage/Nature.txt"), kNatureHome);
    QCOMPARE(lib.read("IF/Cell.txt"), kCellImpact);
    QVERIFY(!QFile::exists(outside.filePath("planted.txt")));
    if (!failedFile.isEmpty())
        QVERIFY(outcome.messages.first().contains(lib.path(failedFile)));
    else if (!adds)
        QCOMPARE(fs.calls(Op::Write), 0); // refused before anything is written
}

void JournalEditingTest::renameMovesAllOrNothing_data() {
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("withFolder");
    QTest::addColumn<QString>("taken"); // made before; a folder when it ends in "/"; "-": two records missing
    QTest::addColumn<QList<int>>("faults");
    QTest::addColumn<bool>("renames");
    const QString cell = "Cell", cells = "Cells", none;
    const QList<int> ok;
    QTest::newRow("blanks and Chinese") << cell << " 细胞 Cell " << true << none << ok << true;
    QTest::newRow("letter case") << cell << "CELL" << true << none << ok << true;
    QTest::newRow("no folder, records missing") << cell << cells << false << "-" << ok << true;
    QTest::newRow("the default answer") << cell << cell << true << none << ok << true;
    QTest::newRow("the default answer, no folder") << cell << cell << false << none << ok << true;
    QTest::newRow("taken by a notes file") << cell << cells << false << "Notes/Cells.txt" << ok << false;
    QTest::newRow("taken by a folder in IF") << cell << cells << true << "IF/Cells.txt/" << ok << false;
    QTest::newRow("taken by an example folder") << cell << cells << true << "Example/Cells/" << ok << false;
    QTest::newRow("taken by a file in Example") << cell << cells << false << "Example/Cells" << ok << false;
    QTest::newRow("refused new name") << cell << "Cell/Press" << true << none << ok << false;
    QTest::newRow("the blank entry") << none << cells << true << none << ok << false;
    QTest::newRow("old name ..") << ".." << cells << true << none << ok << false;
    QTest::newRow("cancel") << cell << none << true << none << ok << false;
    for (int skip : {0, 2, 4}) // the first record file, the third, the example folder
        QTest::addRow("rename %d fails", skip)
            << cell << cells << true << none << QList<int>{int(Op::Rename), skip} << false;
    QTest::newRow("creating the folder fails")
        << cell << cells << false << none << QList<int>{int(Op::CreateFolder), 0} << false;
    // The first rename back, of the notes file, fails too: that one stays renamed, and is named.
    QTest::newRow("undo fails") << cell << cells << false << none
                                << QList<int>{int(Op::CreateFolder), 0, int(Op::Rename), 4} << false;
}

// Either every file and the example folder take the new name, or nothing is renamed: refused
// before anything is renamed, or undone after a failure midway.
void JournalEditingTest::renameMovesAllOrNothing() {
    QFETCH(QString, oldName);
    QFETCH(QString, newName);
    QFETCH(bool, withFolder);
    QFETCH(QString, taken);
    QFETCH(QList<int>, faults);
    QFETCH(bool, renames);
    TempLibrary lib;
    makeLibrary(lib, withFolder);
    lib.write("Journal/.txt", "\"\"\r\n");
    lib.write("Journal/..txt", "\"\"\r\n");
    if (taken == "-")
        QVERIFY(QFile::remove(lib.path("Homepage/Cell.txt")) && QFile::remove(lib.path("Notes/Cell.txt")));
    else if (taken.endsWith('/'))
        lib.makeFolder(taken);
    else if (!taken.isEmpty())
        lib.write(taken, "taken");
    QStringList expected;
    for (QString entry : lib.tree()) {
        if (renames && (entry.startsWith("Example/Cell/") || entry.endsWith("/Cell.txt")))
            entry.replace(entry.indexOf("Cell"), 4, newName);
        expected << entry;
    }
    if (renames && !withFolder) // a journal without one gets an empty example folder
        expected << "Example/" + newName + "/";
    expected.sort();
    FaultyFileSystem fs;
    injectFaults(fs, faults);
    const bool undoFails = faults.size() > 2;
    const EditOutcome outcome = renameJournal(fs, lib.appDir(), oldName, newName);
    QCOMPARE(outcome.messages.size(), renames || newName.isEmpty() ? 0 : 1 + undoFails);
    for (const QString &message : outcome.messages)
        QVERIFY(isBilingual(message));
    if (taken.contains('/'))
        QVERIFY(outcome.messages.first().contains(lib.path(taken.chopped(taken.endsWith('/') ? 1 : 0))));
    if (!faults.isEmpty())
        QVERIFY(outcome.messages.first().contains("injected failure") &&
                outcome.messages.first().contains("undone") != undoFails);
    else if (!renames)
        QCOMPARE(fs.calls(Op::Rename) + fs.calls(Op::CreateFolder), 0);
    if (undoFails) {
        QVERIFY(outcome.messages.last().contains(lib.path("Notes/Cells.txt")));
        QVERIFY(QFile::rename(lib.path("Notes/Cells.txt"), lib.path("Notes/Cell.txt")));
    }
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(lib.read(renames ? "IF/" + newName + ".txt" : "IF/Cell.txt"), kCellImpact);
}

// Even a target that appears after the check is not replaced.
void JournalEditingTest::renameNeverReplacesATarget() {
    TempLibrary lib;
    lib.write("Journal/a.txt", "a");
    lib.write("Journal/b.txt", "b");
    PosixFileSystem fs;
    QVERIFY(!fs.renameNoReplace(lib.path("Journal/a.txt"), lib.path("Journal/b.txt")));
    QCOMPARE(lib.read("Journal/b.txt"), QByteArray("b"));
}

void JournalEditingTest::deleteRemovesWhatItCan_data() {
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QStringList>("articles"); // below Example/Acta, or only the folder (""); none: no folder
    QTest::addColumn<int>("missing");          // record files not there, from the last
    QTest::addColumn<QList<int>>("faults");    // none but -1: no trash can be made
    QTest::addColumn<QStringList>("kept");     // of the journal's files and folders; "!": cannot be deleted
    QTest::addColumn<int>("messages");
    const QList<int> ok;
    const QStringList none, folder{"Example/Acta/"},
        subfolder = folder + QStringList{"Example/Acta/old/", "Example/Acta/old/b.pdf"};
    QTest::newRow("articles, records missing")
        << false << QStringList{"a.pdf", "b.doc", ".hidden"} << 2 << ok << none << 0;
    QTest::newRow("no folder") << false << none << 0 << ok << none << 0;
    // Subfolders are not the journal's own articles: they stay, and so does the folder, as the user is told.
    QTest::newRow("a subfolder") << false << QStringList{"a.pdf", "old/b.pdf"} << 0 << ok << subfolder << 1;
    QTest::newRow("key, subfolder") << true << QStringList{"a.pdf", "c.pdf", "old/b.pdf"} << 1 << ok
                                    << subfolder << 0;
    QTest::newRow("key, empty folder")
        << true << QStringList{""} << 0 << ok << folder << 0; // the key keeps the folder
    QTest::newRow("an article and a record in use")
        << false << QStringList{"a.pdf", "b.pdf"} << 0 << ok
        << QStringList{"Example/Acta/", "!Example/Acta/a.pdf", "!IF/Acta.txt"} << 2;
    QTest::newRow("the folder") << false << QStringList{"a.pdf"} << 0 << QList<int>{int(Op::RemoveFolder), 0}
                                << folder << 1;
    // A file that resists once is tried again; the folder then stays.
    QTest::newRow("second attempt") << false << QStringList{"a.pdf", "b.pdf"} << 0
                                    << QList<int>{int(Op::MoveToTrash), 1, int(Op::RemoveFile), 0} << folder
                                    << 0;
    QTest::newRow("no trash: removed") << false << QStringList{"a.pdf"} << 0 << QList<int>{-1} << none << 0;
}

void JournalEditingTest::deleteRemovesWhatItCan() {
    QFETCH(bool, byKey);
    QFETCH(QStringList, articles);
    QFETCH(int, missing);
    QFETCH(QList<int>, faults);
    QFETCH(QStringList, kept);
    QFETCH(int, messages);
    TempLibrary lib;
    lib.addJournal("Acta");
    lib.addJournal("Acta Physica");
    lib.write("Example/Acta Physica/keep.pdf", "k");
    for (const QString &article : articles)
        article.isEmpty() ? lib.makeFolder("Example/Acta") : lib.write("Example/Acta/" + article, "x");
    for (const QString &file : records("Acta").mid(4 - missing))
        QFile::remove(lib.path(file));
    FaultyFileSystem fs;
    QStringList expected;
    for (const QString &entry : lib.tree()) {
        if (kept.contains("!" + entry))
            fs.stubborn << lib.path(entry);
        if (!entry.contains(QRegularExpression("/Acta(/|\\.txt)")) || kept.contains(entry) ||
            kept.contains("!" + entry))
            expected << entry;
    }
    const bool trash = faults != QList<int>{-1};
    if (!trash) // a file where the trash folder would be
        qputenv("XDG_DATA_HOME", QFile::encodeName(QCoreApplication::applicationFilePath()));
    injectFaults(fs, faults);
    const EditOutcome outcome = (byKey ? deleteJournalByKey : deleteJournal)(fs, lib.appDir(), "Acta");
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(outcome.messages.size(), messages);
    for (const QString &message : outcome.messages)
        QVERIFY(isBilingual(message));
    for (const QString &path : fs.stubborn.isEmpty() ? QStringList{lib.path("Example/Acta")} : fs.stubborn)
        QVERIFY(messages == 0 || outcome.messages.join('\n').contains(path));
    // The button empties the example folder first, the key deletes the record files first.
    const auto recordFirst = [&](const QString &path) { return path.endsWith("/Acta.txt") == byKey; };
    QVERIFY(std::is_partitioned(outcome.deleted.cbegin(), outcome.deleted.cend(), recordFirst));
    // Every file went into the trash, restorable.
    const QString trashFolder = m_dataHome->filePath("Trash/");
    QCOMPARE(QDir(trashFolder + "files").entryList(QDir::Files | QDir::Hidden).size(),
             trash ? outcome.deleted.size() - outcome.deleted.count(lib.path("Example/Acta")) : 0);
    QFile info(trashFolder + "info/Acta.txt.trashinfo");
    QVERIFY(!trash || info.open(QIODevice::ReadOnly));
    QVERIFY(!trash || info.readAll().startsWith("[Trash Info]\nPath=" +
                                                QFile::encodeName(lib.path("Journal/Acta.txt"))));
}

// The blank entry's and "."'s record files go, but nothing in Example is theirs;
// a name leading out of the record folders is refused; a linked example folder is not emptied.
void JournalEditingTest::deleteNeverLeavesTheJournalsOwnFiles() {
    for (auto remove : {&deleteJournal, &deleteJournalByKey}) {
        TempLibrary lib;
        QTemporaryDir outside;
        lib.addJournal(QString());
        lib.addJournal("Acta");
        lib.write("Journal/..txt", "x");
        lib.write("Example/.txt", "x");
        lib.write("Example/loose.pdf", "x");
        QFile(outside.filePath("precious.pdf")).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(outside.path(), lib.path("Example/Acta")));
        const QStringList before = lib.tree();
        PosixFileSystem fs;
        const EditOutcome refused = remove(fs, lib.appDir(), "../Journal/Acta");
        QVERIFY(refused.failed() && isBilingual(refused.messages.first()));
        QCOMPARE(lib.tree(), before);

        QVERIFY(!remove(fs, lib.appDir(), QString()).failed());
        QVERIFY(!remove(fs, lib.appDir(), ".").failed());
        const EditOutcome linked = remove(fs, lib.appDir(), "Acta");
        QCOMPARE(linked.messages.size(), 1);
        QVERIFY(isBilingual(linked.messages.first()) &&
                linked.messages.first().contains(lib.path("Example/Acta")));
        QVERIFY(QFile::exists(outside.filePath("precious.pdf")));
        QCOMPARE(lib.tree(), (QStringList{"BGM/", "Example/", "Example/.txt", "Example/Acta",
                                          "Example/loose.pdf", "Homepage/", "IF/", "Journal/", "Notes/"}));
    }
}

// The window's part: it asks, reports every failure in one bilingual message and rebuilds the
// lists from disk, with nothing selected but what the list's own type-ahead picks after a key.
// The add prompt is answered through the real input dialog, the rename prompt by the double.
void JournalEditingTest::windowPromptsReportsAndRebuilds_data() {
    QTest::addColumn<QString>("trigger");     // a button, or a key typed on the journal list
    QTest::addColumn<int>("selected");        // in "", Acta, Cell, Dalton, Nature
    QTest::addColumn<QStringList>("asked");   // prompt, title, default, answer; none when nothing is asked
    QTest::addColumn<QStringList>("changes"); // made ("+"), deleted, cannot be deleted ("!")
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("selectedAfter");
    const auto add = [](const char *answer) {
        return QStringList{"输入期刊名称 Input journal name:", "添加期刊 Add journal", "", answer};
    };
    const auto rename = [](const char *old, const char *answer) {
        return QStringList{"输入新名称 Input a new name:", "重命名 Rename", old, answer};
    };
    const auto journal = [](const char *name, const char *mark = "") {
        return records(name, mark) << mark + QStringLiteral("Example/") + name + "/";
    };
    const QStringList none, acta = records("Acta") << "Example/Acta/a.pdf";
    QTest::newRow("add") << "Command7" << -1 << add("Bio") << records("Bio", "+") << 0 << QString();
    QTest::newRow("add, refused") << "Command7" << 2 << add("A|B") << none << 1 << QString();
    QTest::newRow("add, cancelled") << "Command7" << 2 << add("") << none << 0 << QString();
    QTest::newRow("rename") << "Command4" << 2 << rename("Cell", "Cortex")
                            << journal("Cell") + journal("Cortex", "+") << 0 << QString();
    QTest::newRow("rename onto Cell")
        << "Command4" << 4 << rename("Nature", "Cell") << none << 1 << QString();
    QTest::newRow("rename, nothing selected") << "Command4" << -1 << none << none << 1 << QString();
    QTest::newRow("rename, the blank entry") << "Command4" << 0 << none << none << 1 << QString();
    QTest::newRow("delete") << "Command11" << 2 << none << journal("Cell") << 0 << QString();
    QTest::newRow("delete, nothing selected") << "Command11" << -1 << none << none << 1 << QString();
    QTest::newRow("delete, the blank entry") << "Command11" << 0 << none << records("") << 0 << QString();
    QTest::newRow("D") << "D" << 1 << none << acta << 0 << "Dalton";
    QTest::newRow("d, files in use") << "d" << 1 << none
                                     << acta.mid(1, 3) +
                                            QStringList{"!Journal/Acta.txt", "!Example/Acta/a.pdf"}
                                     << 1 << "Dalton";
    QTest::newRow("D, nothing selected") << "D" << -1 << none << none << 0 << "Dalton";
    QTest::newRow("another key") << "e" << 1 << none << none << 0 << QString();
}

void JournalEditingTest::windowPromptsReportsAndRebuilds() {
    QFETCH(QString, trigger);
    QFETCH(int, selected);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, changes);
    QFETCH(int, errors);
    QFETCH(QString, selectedAfter);
    TempLibrary lib;
    for (const QString name : {"Acta", "Cell", "Dalton", "Nature"}) {
        lib.addJournal(name);
        lib.makeFolder("Example/" + name);
    }
    lib.write("Example/Acta/a.pdf", "a");
    lib.write("Example/loose.pdf", "x");
    TestPlatform seams;
    DialogInputPrompt dialog;
    const bool realDialog = trigger == QLatin1String("Command7");
    Form1 form(lib.appDir(),
               realDialog ? Platform{seams.fs, seams.starter, seams.player, dialog, seams.clock, seams.errors}
                          : seams.platform());
    form.Form_Load();
    lib.addJournal(QString()); // the blank entry, after the start-up purge
    form.RecountLibrary();
    form.List1->setListIndex(selected);       // showing an entry may make its missing files
    lib.write("Example/Nature/new.pdf", "n"); // shows only once the lists are rebuilt
    QStringList expected = lib.tree();
    for (const QString &change : changes) {
        if (change.startsWith('+'))
            expected << change.mid(1);
        else if (change.startsWith('!'))
            seams.fs.stubborn << lib.path(change.mid(1));
        else
            QVERIFY(expected.removeOne(change));
    }
    expected.sort();
    const QString answer = asked.value(3);
    seams.prompt.answers << answer;
    std::function<void()> answerDialog = [&] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!box)
            return QTimer::singleShot(0, answerDialog);
        seams.prompt.asked.append({box->labelText(), box->windowTitle(), box->textValue()});
        box->setTextValue(answer);
        answer.isEmpty() ? box->reject() : box->accept();
    };
    if (realDialog)
        QTimer::singleShot(0, answerDialog);
    if (auto *button = form.findChild<QPushButton *>(trigger))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        QTest::keyClicks(form.List1, trigger);

    QCOMPARE(lib.tree(), expected);
    QCOMPARE(seams.prompt.asked.size(), asked.isEmpty() ? 0 : 1);
    for (const auto &question : std::as_const(seams.prompt.asked))
        QCOMPARE((QStringList{question.prompt, question.title, question.defaultText}), asked.mid(0, 3));
    QCOMPARE(seams.errors.messages.size(), errors);
    QVERIFY(errors == 0 || isBilingual(seams.errors.messages.first()));
    for (const QString &path : std::as_const(seams.fs.stubborn)) // one message for all
        QVERIFY(seams.errors.messages.first().contains(path));
    QStringList journals;
    int articles = 0;
    for (const QString &entry : std::as_const(expected)) {
        if (entry.startsWith("Journal/") && entry.endsWith(".txt"))
            journals << entry.mid(8).chopped(4);
        articles += entry.startsWith("Example/") && !entry.endsWith('/');
    }
    QCOMPARE(form.List1->items(), journals);
    QCOMPARE(form.List1->listIndex(), selectedAfter.isEmpty() ? -1 : journals.indexOf(selectedAfter));
    QCOMPARE(form.List3->listCount(), 0);
    QCOMPARE(form.surfaceLines(), statistics(int(journals.size()), articles));
}

QTEST_MAIN(JournalEditingTest)
#include "tst_journal_editing.moc"
