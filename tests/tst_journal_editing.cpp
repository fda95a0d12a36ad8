// Adding, renaming and deleting journals: the operations on a real disk, all
// or nothing where the disk allows it, and the window that prompts, reports
// and rebuilds.
#include "editing/AddJournal.h"
#include "editing/DeleteJournal.h"
#include "editing/RenameJournal.h"
#include "mainwindow/ListBox.h"
#include "platform/DialogInputPrompt.h"
#include "platform/PosixFileSystem.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
using Op = FaultyFileSystem::Op;

namespace {

const QByteArray kCellImpact = "\"IF: 41.6\"\r\n";
const QByteArray kNatureHome = "\"https://www.nature.com\"\r\n";

// Cell with an edited IF file and two articles, one in a subfolder; Nature
// with an edited homepage and neither IF nor notes file.
void makeLibrary(const TempLibrary &lib, bool cellArticles = true) {
    lib.addJournal(u"Cell");
    lib.addJournal(u"Nature");
    lib.write(u"IF/Cell.txt", kCellImpact);
    lib.write(u"Homepage/Nature.txt", kNatureHome);
    lib.remove(u"IF/Nature.txt");
    lib.remove(u"Notes/Nature.txt");
    if (cellArticles) {
        lib.write(u"Example/Cell/a.pdf", "a");
        lib.write(u"Example/Cell/old/b.pdf", "b");
    }
}

// A journal's four record files, relative to the application folder.
QStringList records(const QString &name) {
    QStringList files;
    for (const QStringView folder : {u"Journal/", u"IF/", u"Homepage/", u"Notes/"})
        files << folder.toString() + name + u".txt"_s;
    return files;
}

struct Fault {
    Op op;
    int skip; // calls of op that succeed before one fails
};

void inject(FaultyFileSystem &fs, const QList<Fault> &faults) {
    for (const Fault &fault : faults)
        fs.failOn(fault.op, fault.skip);
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

void checkMessages(const QStringList &messages, qsizetype count, const QStringList &naming) {
    QCOMPARE(messages.size(), count);
    for (const QString &message : messages)
        QVERIFY2(isBilingual(message), qPrintable(message));
    for (const QString &path : naming)
        QVERIFY2(messages.join(u'\n').contains(path), qPrintable(path));
}

using Prepare = std::function<void(const TempLibrary &, FaultyFileSystem &)>;
const Prepare kNothing = [](const TempLibrary &, FaultyFileSystem &) {};

struct AddCase {
    QString name = {};
    Prepare prepare = kNothing;
    QList<Fault> faults = {};
    QString failedFile = {}; // named in the message; empty when nothing fails
    bool adds = true;
};

struct RenameCase {
    QString oldName = {};
    QString newName = {};
    bool withFolder = true;
    Prepare prepare = kNothing;
    QList<Fault> faults = {};
    QString taken = {}; // a target found in use, named in the message
    bool renames = true;
    QString leftRenamed = {}; // a file whose undo failed, named in a second message
};

using Delete = EditOutcome (*)(FileSystem &, const QString &, const QString &);

struct DeleteCase {
    Delete remove = &deleteJournal;
    QStringList articles = {}; // below Example/Acta; none: no example folder (but for the key)
    QStringList missingRecords = {};
    QStringList resisting = {}; // files that cannot be deleted
    int resistOnce = 0;         // how many times b.pdf resists before it goes
    QStringList kept = {};      // of Acta's files and folders
    int messages = 0;
    bool trash = true;
};

// What a person does in the window: which journal row is clicked first, then
// which button is pressed or which keys are typed on the journal list.
struct WindowCase {
    std::optional<int> row = {}; // in Acta, Cell, Dalton, Nature, the blank entry
    QString button = {};         // a button's object name, or empty for keys
    QString keys = {};
    QStringList asked = {}; // the prompt, its title, its default text; empty when nothing is asked
    QString answer = {};
    QStringList created = {};
    QStringList deleted = {};
    QStringList resisting = {};
    int errors = 0;
    QString selectedAfter = {}; // picked by the list's type-ahead after the rebuild
};

void link(const TempLibrary &lib, const QString &target, QStringView at) {
    QVERIFY(QFile::link(target, lib.path(at)));
}

} // namespace

Q_DECLARE_METATYPE(AddCase)
Q_DECLARE_METATYPE(RenameCase)
Q_DECLARE_METATYPE(DeleteCase)
Q_DECLARE_METATYPE(WindowCase)

class JournalEditingTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void addCreatesOnlyWhatIsMissing_data();
    void addCreatesOnlyWhatIsMissing();
    void renameMovesAllOrNothing_data();
    void renameMovesAllOrNothing();
    void deleteRemovesWhatItCanIntoTheTrash_data();
    void deleteRemovesWhatItCanIntoTheTrash();
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
    QTest::addColumn<AddCase>("add");
    const QString bio = u"Bio"_s;
    QTest::newRow("new, blanks and Chinese kept") << AddCase{.name = u" 中国科学 Science China "_s};
    QTest::newRow("ends in .txt") << AddCase{.name = u"notes.txt"_s};
    QTest::newRow("longest") << AddCase{.name = QString(251, u'x')};
    QTest::newRow("partly missing") << AddCase{.name = u"Nature"_s};
    QTest::newRow("existing") << AddCase{.name = u"Cell"_s};
    QStringList refused{u"A\tB"_s, u".."_s, QString(249, u'x') + QChar(0x671F)};
    for (const QChar reserved : u"/\\:*?\"<>|"_s)
        refused << u"A"_s + reserved + u"B"_s;
    for (const QString &name : refused)
        QTest::addRow("refused %s", qPrintable(name.left(8))) << AddCase{.name = name, .adds = false};
    for (int file = 0; file < 4; ++file) { // each file is written beside, then renamed into place
        const QString path = records(bio).at(file);
        for (const Op op : {Op::Write, Op::Rename})
            QTest::addRow("%s %d fails", op == Op::Write ? "write" : "rename", file)
                << AddCase{.name = bio, .faults = {{op, file}}, .failedFile = path, .adds = false};
    }
    QTest::newRow("a folder in the way") << AddCase{
        .name = bio,
        .prepare = [](const TempLibrary &lib, FaultyFileSystem &) { lib.makeFolder(u"IF/Bio.txt"); },
        .failedFile = u"IF/Bio.txt"_s,
        .adds = false};
    // The file made before the failure cannot be taken back: it stays, and is named.
    QTest::newRow("not taken back") << AddCase{
        .name = bio,
        .prepare = [](const TempLibrary &lib, FaultyFileSystem &fs) { fs.resist(lib.path(u"IF/Bio.txt")); },
        .faults = {{Op::Write, 3}},
        .failedFile = u"Notes/Bio.txt"_s,
        .adds = false};
}

// What cannot be added leaves nothing behind but what cannot be removed again.
void JournalEditingTest::addCreatesOnlyWhatIsMissing() {
    QFETCH(AddCase, add);
    TempLibrary lib;
    makeLibrary(lib);
    FaultyFileSystem fs;
    inject(fs, add.faults);
    add.prepare(lib, fs);
    QStringList expected = lib.tree();
    const EditOutcome outcome = addJournal(fs, lib.appDir(), add.name);
    const QList<QByteArray> defaults{quoted({}), quoted(u"IF:"_s), quoted(u"http:"_s),
                                     quoted(add.name + u':')};
    for (int i = 0; add.adds && i < 4; ++i) {
        if (const QString file = records(add.name).at(i); !expected.contains(file)) {
            expected << file;
            QCOMPARE(lib.read(file), defaults.at(i));
        }
    }
    QStringList named = add.failedFile.isEmpty() ? QStringList() : QStringList{lib.path(add.failedFile)};
    named += fs.resisting();
    checkMessages(outcome.messages, add.adds ? 0 : 1 + fs.resisting().size(), named);
    for (const QString &path : fs.resisting())
        QVERIFY(QFile::remove(path));
    QCOMPARE(lib.tree(), sorted(expected)); // no example folder: made when the journal is first shown
    QCOMPARE(lib.read(u"Homepage/Nature.txt"), kNatureHome);
    QCOMPARE(lib.read(u"IF/Cell.txt"), kCellImpact);
    QVERIFY(!lib.exists(u"outside.txt"));
    if (!add.adds && add.failedFile.isEmpty())
        QCOMPARE(fs.calls(Op::Write), 0); // refused before anything is written
}

void JournalEditingTest::renameMovesAllOrNothing_data() {
    QTest::addColumn<RenameCase>("rename");
    const QString cell = u"Cell"_s, cells = u"Cells"_s;
    const auto occupy = [](const QString &path, bool folder) -> Prepare {
        return [path, folder](const TempLibrary &lib, FaultyFileSystem &) {
            folder ? lib.makeFolder(path) : lib.write(path, "taken");
        };
    };
    QTest::newRow("blanks and Chinese") << RenameCase{.oldName = cell, .newName = u" 细胞 Cell "_s};
    QTest::newRow("letter case") << RenameCase{.oldName = cell, .newName = u"CELL"_s};
    QTest::newRow("records missing, no folder")
        << RenameCase{.oldName = cell,
                      .newName = cells,
                      .withFolder = false,
                      .prepare = [](const TempLibrary &lib, FaultyFileSystem &) {
                          lib.remove(u"Homepage/Cell.txt");
                          lib.remove(u"Notes/Cell.txt");
                      }};
    QTest::newRow("the default answer") << RenameCase{.oldName = cell, .newName = cell};
    QTest::newRow("the default answer, no folder")
        << RenameCase{.oldName = cell, .newName = cell, .withFolder = false};
    const QList<QPair<QString, bool>> occupied{{u"Notes/Cells.txt"_s, false},
                                               {u"IF/Cells.txt"_s, true},
                                               {u"Example/Cells"_s, true},
                                               {u"Example/Cells"_s, false}};
    for (const auto &[path, folder] : occupied)
        QTest::addRow("taken by the %s %s", folder ? "folder" : "file", qPrintable(path))
            << RenameCase{.oldName = cell,
                          .newName = cells,
                          .withFolder = !path.startsWith(u"Example"_s) || folder,
                          .prepare = occupy(path, folder),
                          .taken = path,
                          .renames = false};
    QTest::newRow("refused new name")
        << RenameCase{.oldName = cell, .newName = u"Cell/Press"_s, .renames = false};
    QTest::newRow("the blank entry") << RenameCase{.oldName = QString(), .newName = cells, .renames = false};
    QTest::newRow("old name ..") << RenameCase{.oldName = u".."_s, .newName = cells, .renames = false};
    QTest::newRow("cancel") << RenameCase{.oldName = cell, .newName = QString(), .renames = false};
    for (int skip : {0, 2, 4}) // the first record file, the third, the example folder
        QTest::addRow("rename %d fails", skip) << RenameCase{
            .oldName = cell, .newName = cells, .faults = {{Op::Rename, skip}}, .renames = false};
    QTest::newRow("creating the folder fails") << RenameCase{.oldName = cell,
                                                             .newName = cells,
                                                             .withFolder = false,
                                                             .faults = {{Op::CreateFolder, 0}},
                                                             .renames = false};
    // The first rename back, of the notes file, fails too: that one stays renamed, and is named.
    QTest::newRow("undo fails") << RenameCase{.oldName = cell,
                                              .newName = cells,
                                              .withFolder = false,
                                              .faults = {{Op::CreateFolder, 0}, {Op::Rename, 4}},
                                              .renames = false,
                                              .leftRenamed = u"Notes/Cells.txt"_s};
}

// Either every file and the example folder take the new name, or nothing is
// renamed: refused before anything moves, or undone after a failure midway.
void JournalEditingTest::renameMovesAllOrNothing() {
    QFETCH(RenameCase, rename);
    TempLibrary lib;
    makeLibrary(lib, rename.withFolder);
    lib.write(u"Journal/.txt", quoted({}));
    lib.write(u"Journal/..txt", quoted({}));
    FaultyFileSystem fs;
    rename.prepare(lib, fs);
    inject(fs, rename.faults);
    QStringList expected;
    for (QString entry : lib.tree()) {
        if (rename.renames && (entry.startsWith(u"Example/Cell/"_s) || entry.endsWith(u"/Cell.txt"_s)))
            entry.replace(entry.indexOf(u"Cell"_s), 4, rename.newName);
        expected << entry;
    }
    if (rename.renames && !rename.withFolder) // a journal without one gets an empty example folder
        expected << u"Example/"_s + rename.newName + u'/';
    const EditOutcome outcome = renameJournal(fs, lib.appDir(), rename.oldName, rename.newName);
    const bool told = !rename.renames && !rename.newName.isEmpty();
    QStringList named;
    for (const QString &path : {rename.taken, rename.leftRenamed})
        if (!path.isEmpty())
            named << lib.path(path);
    checkMessages(outcome.messages, told ? 1 + !rename.leftRenamed.isEmpty() : 0, named);
    if (!rename.faults.isEmpty())
        QCOMPARE(outcome.messages.first().contains(u"undone"_s), rename.leftRenamed.isEmpty());
    else if (!rename.renames)
        QCOMPARE(fs.calls(Op::Rename) + fs.calls(Op::CreateFolder), 0);
    if (!rename.leftRenamed.isEmpty())
        QVERIFY(QFile::rename(lib.path(rename.leftRenamed), lib.path(u"Notes/Cell.txt")));
    QCOMPARE(lib.tree(), sorted(expected));
    QCOMPARE(lib.read(rename.renames ? u"IF/"_s + rename.newName + u".txt"_s : u"IF/Cell.txt"_s),
             kCellImpact);
}

void JournalEditingTest::deleteRemovesWhatItCanIntoTheTrash_data() {
    QTest::addColumn<DeleteCase>("del");
    const QString folder = u"Example/Acta/"_s;
    const QStringList subfolder{folder, u"Example/Acta/old/"_s, u"Example/Acta/old/b.pdf"_s};
    QTest::newRow("articles, records missing")
        << DeleteCase{.articles = {u"a.pdf"_s, u"b.doc"_s, u".hidden"_s},
                      .missingRecords = {u"Homepage/Acta.txt"_s, u"Notes/Acta.txt"_s}};
    QTest::newRow("no folder") << DeleteCase{};
    // Subfolders are not the journal's own articles: they stay, and so does the folder, as the user is told.
    QTest::newRow("a subfolder") << DeleteCase{
        .articles = {u"a.pdf"_s, u"old/b.pdf"_s}, .kept = subfolder, .messages = 1};
    QTest::newRow("key, subfolder") << DeleteCase{.remove = &deleteJournalByKey,
                                                  .articles = {u"a.pdf"_s, u"c.pdf"_s, u"old/b.pdf"_s},
                                                  .missingRecords = {u"Notes/Acta.txt"_s},
                                                  .kept = subfolder};
    QTest::newRow("key, empty folder") << DeleteCase{.remove = &deleteJournalByKey, .kept = {folder}};
    QTest::newRow("an article and a record in use")
        << DeleteCase{.articles = {u"a.pdf"_s, u"b.pdf"_s},
                      .resisting = {u"Example/Acta/a.pdf"_s, u"IF/Acta.txt"_s},
                      .kept = {folder, u"Example/Acta/a.pdf"_s, u"IF/Acta.txt"_s},
                      .messages = 2};
    // A file that resists once (its move to the trash, then its removal) is tried again; then the folder
    // stays.
    QTest::newRow("second attempt") << DeleteCase{
        .articles = {u"a.pdf"_s, u"b.pdf"_s}, .resistOnce = 2, .kept = {folder}};
    QTest::newRow("no trash: removed") << DeleteCase{.articles = {u"a.pdf"_s}, .trash = false};
}

void JournalEditingTest::deleteRemovesWhatItCanIntoTheTrash() {
    QFETCH(DeleteCase, del);
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.addJournal(u"Acta Physica");
    lib.write(u"Example/Acta Physica/keep.pdf", "k");
    if (del.remove == &deleteJournalByKey || !del.articles.isEmpty())
        lib.makeFolder(u"Example/Acta");
    for (const QString &article : del.articles)
        lib.write(u"Example/Acta/"_s + article, "x");
    for (const QString &file : del.missingRecords)
        lib.remove(file);
    FaultyFileSystem fs;
    for (const QString &file : del.resisting)
        fs.resist(lib.path(file));
    if (del.resistOnce > 0)
        fs.resist(lib.path(u"Example/Acta/b.pdf"), del.resistOnce);
    QStringList expected;
    for (const QString &entry : lib.tree())
        if (!entry.contains(QRegularExpression(u"/Acta(/|\\.txt)"_s)) || del.kept.contains(entry))
            expected << entry;
    if (!del.trash) // a file where the trash folder would be
        qputenv("XDG_DATA_HOME", QFile::encodeName(QCoreApplication::applicationFilePath()));
    const EditOutcome outcome = del.remove(fs, lib.appDir(), u"Acta"_s);
    QCOMPARE(lib.tree(), expected);
    QStringList named;
    for (const QString &file : del.resisting)
        named << lib.path(file);
    checkMessages(outcome.messages, del.messages,
                  del.messages && named.isEmpty() ? QStringList{lib.path(u"Example/Acta")} : named);
    // The button empties the example folder first, the key deletes the record files first.
    const bool byKey = del.remove == &deleteJournalByKey;
    const auto recordFirst = [&](const QString &path) { return path.endsWith(u"/Acta.txt"_s) == byKey; };
    QVERIFY(std::is_partitioned(outcome.deleted.cbegin(), outcome.deleted.cend(), recordFirst));
    // Every deleted file went into the trash, restorable.
    const QString trash = m_dataHome->filePath(u"Trash/"_s);
    QCOMPARE(QDir(trash + u"files"_s).entryList(QDir::Files | QDir::Hidden).size(),
             del.trash ? outcome.deleted.size() - outcome.deleted.count(lib.path(u"Example/Acta")) : 0);
    QFile info(trash + u"info/Acta.txt.trashinfo"_s);
    if (del.trash && !del.missingRecords.contains(u"Journal/Acta.txt"_s)) {
        QVERIFY(info.open(QIODevice::ReadOnly));
        QVERIFY(info.readAll().startsWith("[Trash Info]\nPath=" +
                                          QFile::encodeName(lib.path(u"Journal/Acta.txt"))));
    }
}

// The blank entry's and "."'s record files go, but nothing in Example is
// theirs; a name leading out of the record folders is refused; a linked
// example folder is not emptied through the link.
void JournalEditingTest::deleteNeverLeavesTheJournalsOwnFiles() {
    for (auto remove : {&deleteJournal, &deleteJournalByKey}) {
        TempLibrary lib;
        QTemporaryDir outside;
        lib.addJournal(QString());
        lib.addJournal(u"Acta");
        lib.write(u"Journal/..txt", "x");
        lib.write(u"Example/.txt", "x");
        lib.write(u"Example/loose.pdf", "x");
        QFile(outside.filePath(u"precious.pdf"_s)).open(QIODevice::WriteOnly);
        link(lib, outside.path(), u"Example/Acta");
        const QStringList before = lib.tree();
        PosixFileSystem fs;
        const EditOutcome refused = remove(fs, lib.appDir(), u"../Journal/Acta"_s);
        checkMessages(refused.messages, 1, {});
        QCOMPARE(lib.tree(), before);

        QVERIFY(!remove(fs, lib.appDir(), QString()).failed());
        QVERIFY(!remove(fs, lib.appDir(), u"."_s).failed());
        checkMessages(remove(fs, lib.appDir(), u"Acta"_s).messages, 1, {lib.path(u"Example/Acta")});
        QVERIFY(QFile::exists(outside.filePath(u"precious.pdf"_s)));
        QCOMPARE(lib.tree(),
                 (QStringList{u"BGM/"_s, u"Example/"_s, u"Example/.txt"_s, u"Example/Acta"_s,
                              u"Example/loose.pdf"_s, u"Homepage/"_s, u"IF/"_s, u"Journal/"_s, u"Notes/"_s}));
    }
}

void JournalEditingTest::windowPromptsReportsAndRebuilds_data() {
    QTest::addColumn<WindowCase>("action");
    const QStringList add{u"输入期刊名称 Input journal name:"_s, u"添加期刊 Add journal"_s, QString()};
    const auto rename = [](const QString &old) {
        return QStringList{u"输入新名称 Input a new name:"_s, u"重命名 Rename"_s, old};
    };
    const auto journal = [](const QString &name) { return records(name) << u"Example/"_s + name + u'/'; };
    const QStringList acta = records(u"Acta"_s) << u"Example/Acta/a.pdf"_s;
    const QString addJournal = u"Command7"_s, renameJournal = u"Command4"_s, deleteJournal = u"Command11"_s;
    QTest::newRow("add") << WindowCase{
        .button = addJournal, .asked = add, .answer = u"Bio"_s, .created = records(u"Bio"_s)};
    QTest::newRow("add, cancelled") << WindowCase{.row = 1, .button = addJournal, .asked = add};
    QTest::newRow("rename") << WindowCase{.row = 1,
                                          .button = renameJournal,
                                          .asked = rename(u"Cell"_s),
                                          .answer = u"Cortex"_s,
                                          .created = journal(u"Cortex"_s),
                                          .deleted = journal(u"Cell"_s)};
    QTest::newRow("rename, nothing selected") << WindowCase{.button = renameJournal, .errors = 1};
    QTest::newRow("rename, the blank entry") << WindowCase{.row = 4, .button = renameJournal, .errors = 1};
    QTest::newRow("delete") << WindowCase{.row = 1, .button = deleteJournal, .deleted = journal(u"Cell"_s)};
    QTest::newRow("delete, nothing selected") << WindowCase{.button = deleteJournal, .errors = 1};
    QTest::newRow("D") << WindowCase{.row = 0, .keys = u"D"_s, .deleted = acta, .selectedAfter = u"Dalton"_s};
    QTest::newRow("d, files in use") << WindowCase{
        .row = 0,
        .keys = u"d"_s,
        .deleted = acta,
        .resisting = {u"Journal/Acta.txt"_s, u"Example/Acta/a.pdf"_s},
        .errors = 1,
        .selectedAfter = u"Dalton"_s};
    QTest::newRow("D, nothing selected") << WindowCase{.keys = u"D"_s, .selectedAfter = u"Dalton"_s};
    QTest::newRow("another key") << WindowCase{.row = 0, .keys = u"e"_s};
}

// The window asks, reports every failure of one action in one bilingual
// message and rebuilds the lists from disk, with nothing selected but what
// the list's own type-ahead picks after a key. The add prompt is answered in
// the real input dialog, as a person types; the rename prompt by the double.
void JournalEditingTest::windowPromptsReportsAndRebuilds() {
    QFETCH(WindowCase, action);
    TempLibrary lib;
    for (const QStringView name : {u"Acta", u"Cell", u"Dalton", u"Nature"}) {
        lib.addJournal(name);
        lib.makeFolder(u"Example/"_s + name.toString());
    }
    lib.write(u"Journal/old/.txt", quoted({})); // the blank entry, listed last
    lib.write(u"Example/Acta/a.pdf", "a");
    lib.write(u"Example/loose.pdf", "x");
    TestPlatform seams;
    DialogInputPrompt dialog;
    const bool realDialog = action.button == u"Command7"_s;
    Form1 form(lib.appDir(),
               realDialog ? Platform{seams.fs, seams.starter, seams.player, dialog, seams.clock, seams.errors}
                          : seams.platform());
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (action.row)
        clickRow(form.List1, *action.row);     // showing the blank entry makes its missing files
    lib.write(u"Example/Nature/new.pdf", "n"); // shows only once the lists are rebuilt
    QStringList expected = lib.tree() + action.created;
    for (const QString &gone : action.deleted)
        if (!action.resisting.contains(gone))
            QVERIFY(expected.removeOne(gone));
    for (const QString &file : action.resisting)
        seams.fs.resist(lib.path(file));
    seams.prompt.answers << action.answer;
    std::function<void()> answerDialog = [&] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!box)
            return QTimer::singleShot(10, answerDialog);
        seams.prompt.asked.append({box->labelText(), box->windowTitle(), box->textValue()});
        auto *field = box->findChild<QLineEdit *>();
        QTest::keyClicks(field, action.answer);
        QTest::keyClick(field, action.answer.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    };
    if (realDialog)
        QTimer::singleShot(0, answerDialog);
    if (!action.button.isEmpty())
        click(form.findChild<QPushButton *>(action.button));
    else
        QTest::keyClicks(form.List1, action.keys);

    expected.sort();
    QCOMPARE(lib.tree(), expected);
    QCOMPARE(seams.prompt.asked.size(), action.asked.isEmpty() ? 0 : 1);
    for (const auto &question : std::as_const(seams.prompt.asked))
        QCOMPARE((QStringList{question.prompt, question.title, question.defaultText}), action.asked);
    QStringList named;
    for (const QString &file : action.resisting)
        named << lib.path(file);
    checkMessages(seams.errors.messages, action.errors, named);
    QStringList journals;
    int articles = 0;
    for (const QString &entry : std::as_const(expected)) {
        if (entry.startsWith(u"Journal/"_s) && entry.endsWith(u".txt"_s))
            journals << entry.mid(8).chopped(4);
        articles += entry.startsWith(u"Example/"_s) && !entry.endsWith(u'/');
    }
    journals.replaceInStrings(u"old/"_s, QString()); // the blank entry, listed after the top folder's files
    journals.move(journals.indexOf(QString()), journals.size() - 1);
    QCOMPARE(form.List1->items(), journals);
    QCOMPARE(form.currentJournal(),
             action.selectedAfter.isEmpty() ? std::nullopt : std::optional<QString>(action.selectedAfter));
    QCOMPARE(form.List3->listCount(), 0);
    QCOMPARE(form.surfaceLines(), statistics(int(journals.size()), articles));
}

QTEST_MAIN(JournalEditingTest)
#include "tst_journal_editing.moc"
