// Adding, renaming, deleting journals and opening their field files as a
// person does it in the window:
// all or nothing where the disk allows it, every failure of one action told in
// one message, and the lists rebuilt from disk afterwards.
#include "editing/DeleteJournal.h"
#include "editing/RenameJournal.h"
#include "mainwindow/widgets/ListBox.h"
#include "desktop/DialogInputPrompt.h"
#include "platform/PosixFileSystem.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QClipboard>
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

// The journal list reads .., ., Acta Physica, Acta, Cell, Dalton, Nature and,
// from Journal/old, the blank entry. Cell has an edited IF file and two
// articles, one in a subfolder; Nature has neither IF nor notes file nor
// example folder.
void makeLibrary(const TempLibrary &lib) {
    for (const QStringView name : {u"Acta", u"Acta Physica", u"Cell", u"Dalton", u"Nature"}) {
        lib.addJournal(name);
        lib.makeFolder(u"Example/"_s + name.toString());
    }
    lib.write(u"IF/Cell.txt", "\"IF: 41.6\"\r\n");
    for (const QStringView entry : {u"IF/Nature.txt", u"Notes/Nature.txt", u"Example/Nature"})
        lib.remove(entry);
    for (const QStringView file : {u"Journal/..txt", u"Journal/...txt", u"Journal/old/.txt"})
        lib.write(file, quoted({}));
    for (const QStringView file : {u"Example/Acta/a.pdf", u"Example/Acta Physica/keep.pdf",
                                   u"Example/Cell/a.pdf", u"Example/Cell/old/b.pdf", u"Example/loose.pdf"})
        lib.write(file, file.toUtf8());
}

bool isRecordFile(const QString &entry) {
    static const QRegularExpression record(u"^(Journal|IF|Homepage|Notes)/[^/]*$"_s);
    return record.match(entry).hasMatch();
}

QByteArray defaultOf(const QString &recordFile) {
    const QString folder = recordFile.section(u'/', 0, 0);
    return quoted(folder == u"IF"         ? u"IF:"_s
                  : folder == u"Homepage" ? u"http:"_s
                  : folder == u"Notes"    ? QFileInfo(recordFile).completeBaseName() + u':'
                                          : QString());
}

// What becomes of the tree below the application folder.
using Change = std::function<QStringList(QStringList)>;
const Change kUnchanged = [](QStringList tree) { return tree; };

Change adds(const QString &name) {
    return [=](QStringList tree) {
        for (const QString &folder : {u"Journal/"_s, u"IF/"_s, u"Homepage/"_s, u"Notes/"_s})
            if (!tree.contains(folder + name + u".txt"_s))
                tree << folder + name + u".txt"_s;
        return tree;
    };
}

// A journal without an example folder gets an empty one under the new name.
Change renames(const QString &from, const QString &to) {
    return [=](QStringList tree) {
        if (!tree.contains(u"Example/"_s + from + u'/'))
            tree << u"Example/"_s + from + u'/';
        const QString old = QRegularExpression::escape(from);
        tree.replaceInStrings(QRegularExpression(u"^(Journal|IF|Homepage|Notes)/%1\\.txt$"_s.arg(old)),
                              u"\\1/"_s + to + u".txt"_s);
        return tree.replaceInStrings(QRegularExpression(u"^Example/%1/"_s.arg(old)),
                                     u"Example/"_s + to + u'/');
    };
}

Change removes(const QString &name, const QStringList &kept = {}) {
    return [=](QStringList tree) {
        tree.removeIf([&](const QString &entry) {
            const bool own = (isRecordFile(entry) && entry.endsWith(u'/' + name + u".txt"_s)) ||
                             entry.startsWith(u"Example/"_s + name + u'/');
            return own && !kept.contains(entry);
        });
        return tree;
    };
}

// The disk as the action meets it, set up after the journal was clicked.
using Step = std::function<void(const TempLibrary &, FaultyFileSystem &)>;

Step changing(const QStringList &written, const QStringList &removed = {}) {
    return [=](const TempLibrary &lib, FaultyFileSystem &) {
        for (const QString &file : written)
            lib.write(file, "x");
        for (const QString &entry : removed)
            lib.remove(entry);
    };
}
// The call of op after `skip` more successful ones fails.
Step failing(Op op, int skip) {
    return [=](const TempLibrary &, FaultyFileSystem &fs) { fs.failOn(op, fs.calls(op) + skip); };
}
Step resisting(const QStringList &files, int times = FaultyFileSystem::kForever) {
    return [=](const TempLibrary &lib, FaultyFileSystem &fs) {
        for (const QString &file : files)
            fs.resist(lib.path(file), times);
    };
}

// What is pressed or typed, and what the program asks: its prompt, title
// and default answer, answered by pasting a name or cancelled.
struct Act {
    std::function<void(Form1 &)> press;
    QStringList asks = {};
    QString answer = {}; // empty: cancelled
};

Act pressing(QPushButton *Form1::*button, const QStringList &asks = {}, const QString &answer = {}) {
    return {[button](Form1 &w) { click(w.*button); }, asks, answer};
}
Act add(const QString &answer) {
    return pressing(&Form1::Command7, {u"输入期刊名称 Input journal name:"_s, u"添加期刊 Add journal"_s, {}},
                    answer);
}
Act rename(const QString &answer, const QString &from = u"Cell"_s) {
    return pressing(&Form1::Command4, {u"输入新名称 Input a new name:"_s, u"重命名 Rename"_s, from}, answer);
}
Act type(const QString &keys) {
    return {[keys](Form1 &w) { QTest::keyClicks(w.List1, keys); }};
}
const Act kRenameRefused = pressing(&Form1::Command4);
const Act kDelete = pressing(&Form1::Command11);

struct Edit {
    std::optional<QString> clicked; // the journal clicked first; none: nothing is selected
    Act act;
    Change change;
    QStringList told = {}; // texts the one report holds (paths relative); none: nothing is reported
    QList<Step> prepare = {};
    std::optional<QString> selectedAfter = {}; // by the list's type-ahead after the rebuild
    QList<Step> whileAsked = {};
    QStringList opened = {}; // files handed to the desktop's opener, relative
};

} // namespace

Q_DECLARE_METATYPE(Edit)

static void row(const char *name, const Edit &edit) { QTest::newRow(name) << edit; }

class JournalEditingTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void everyEditLeavesTheLibraryAsTold_data();
    void everyEditLeavesTheLibraryAsTold();
    void namesLeadingOutOfTheLibraryAreRefused();

private:
    std::optional<TempLibrary> m_dataHome; // a fresh trash for each case
    std::optional<TempLibrary> m_outside;  // a folder the library links to
};

void JournalEditingTest::init() {
    m_dataHome.emplace(false);
    m_outside.emplace(false);
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome->appDir()));
}

void JournalEditingTest::everyEditLeavesTheLibraryAsTold_data() {
    QTest::addColumn<Edit>("edit");
    const QString bio = u"Bio"_s, cell = u"Cell"_s, cells = u"Cells"_s, acta = u"Acta"_s;
    row("add, blanks and Chinese kept",
        {{}, add(u" 中国科学 Science China "_s), adds(u" 中国科学 Science China "_s)});
    row("add a name ending in .txt", {{}, add(u"notes.txt"_s), adds(u"notes.txt"_s)});
    row("add the longest name", {{}, add(QString(251, u'x')), adds(QString(251, u'x'))});
    row("add completes a journal", {{}, add(u"Nature"_s), adds(u"Nature"_s)});
    row("add, cancelled", {cell, add({}), kUnchanged});
    // That no reserved or control character gets through is fuzz_journal_name's part.
    const QList<QPair<QString, QString>> refused{{u"A\tB"_s, u"control"_s},
                                                 {u".."_s, u". or .."_s},
                                                 {QString(249, u'x') + QChar(0x671F), u"too long"_s}};
    for (const auto &[name, why] : refused)
        QTest::addRow("add refuses %s", qPrintable(name.left(8))) << Edit{{}, add(name), kUnchanged, {why}};
    // The file made before the failure cannot be taken back: it stays, and is named.
    const Change keepsIF = [](QStringList tree) { return tree << u"IF/Bio.txt"_s; };
    const QStringList bothNamed{u"Notes/Bio.txt"_s, u"IF/Bio.txt"_s};
    const QList<Step> notesFailsIFStays{failing(Op::Write, 3), resisting({u"IF/Bio.txt"_s})};
    row("add: not taken back", {{}, add(bio), keepsIF, bothNamed, notesFailsIFStays});

    row("rename, blanks and Chinese", {cell, rename(u" 细胞 Cell "_s), renames(cell, u" 细胞 Cell "_s)});
    row("rename, letter case", {cell, rename(u"CELL"_s), renames(cell, u"CELL"_s)});
    const Step noFolder = changing({}, {u"Example/Cell"_s});
    const Step recordsGone = changing({}, {u"Homepage/Cell.txt"_s, u"Notes/Cell.txt"_s});
    row("rename, records and folder missing",
        {cell, rename(cells), renames(cell, cells), {}, {noFolder, recordsGone}});
    row("rename to the default", {cell, rename(cell), kUnchanged});
    row("rename to the default, no folder", {cell, rename(cell), renames(cell, cell), {}, {noFolder}});
    for (const QString &taken :
         {u"Notes/Cells.txt"_s, u"IF/Cells.txt/x"_s, u"Example/Cells/x"_s}) // a file or a folder
        QTest::addRow("rename: %s is taken", qPrintable(taken)) << Edit{
            cell, rename(cells), kUnchanged, {u"taken"_s, taken.section(u'/', 0, 1)}, {changing({taken})}};
    row("rename refuses a name", {cell, rename(u"Cell/Press"_s), kUnchanged, {u"cannot hold"_s}});
    row("rename, cancelled", {cell, rename({}), kUnchanged});
    row("rename, nothing selected", {{}, kRenameRefused, kUnchanged, {u"Select the journal"_s}});
    row("rename the blank entry", {QString(), kRenameRefused, kUnchanged, {u"no usable"_s}});
    row("rename ..", {u".."_s, kRenameRefused, kUnchanged, {u"no usable"_s}});
    row("rename: making the folder fails",
        {cell, rename(cells), kUnchanged, {u"undone"_s}, {noFolder, failing(Op::CreateFolder, 0)}});
    // The first rename back, of the notes file, fails too: that one stays renamed, and is named.
    const Change notesRenamed = [](QStringList tree) {
        tree.replace(tree.indexOf(u"Notes/Cell.txt"_s), u"Notes/Cells.txt"_s);
        return tree;
    };
    const QList<Step> undoFails{noFolder, failing(Op::CreateFolder, 0), failing(Op::Rename, 4)};
    row("rename: the undo fails", {cell, rename(cells), notesRenamed, {u"Notes/Cells.txt"_s}, undoFails});

    const QString d = u"Dalton"_s;
    const QString folder = u"Example/Acta/"_s;
    const QStringList subfolder{folder, u"Example/Acta/old/"_s, u"Example/Acta/old/b.pdf"_s};
    const Step inSubfolder = changing({u"Example/Acta/old/b.pdf"_s});
    row("delete", {acta, kDelete, removes(acta)});
    const QList<Step> recordsMissing{changing({u"Example/Acta/b.doc"_s, u"Example/Acta/.hidden"_s},
                                              {u"Homepage/Acta.txt"_s, u"Notes/Acta.txt"_s})};
    row("delete, records missing", {acta, kDelete, removes(acta), {}, recordsMissing});
    row("delete, no folder", {acta, kDelete, removes(acta), {}, {changing({}, {folder})}});
    // Subfolders are not the journal's own articles: they stay, and so does the folder, as the user is told.
    row("delete, a subfolder", {acta, kDelete, removes(acta, subfolder), {u"Example/Acta"_s}, {inSubfolder}});
    row("d keeps the empty folder",
        {acta, type(u"d"_s), removes(acta, {folder}), {}, {changing({}, {u"Example/Acta/a.pdf"_s})}, d});
    const QStringList inUse{u"Example/Acta/a.pdf"_s, u"IF/Acta.txt"_s};
    row("delete, files in use",
        {acta, kDelete, removes(acta, inUse + QStringList{folder}), inUse, {resisting(inUse)}});
    // A file that resists once (its move to the trash, then its removal) is
    // tried again; then the folder stays.
    const QList<Step> resistsOnce{changing({u"Example/Acta/b.pdf"_s}),
                                  resisting({u"Example/Acta/b.pdf"_s}, 2)};
    row("delete, a second attempt", {acta, kDelete, removes(acta, {folder}), {}, resistsOnce});
    const Step noTrash = [](const TempLibrary &, FaultyFileSystem &) { // a file where its folder would be
        qputenv("XDG_DATA_HOME", QFile::encodeName(QCoreApplication::applicationFilePath()));
    };
    row("delete without a trash", {acta, kDelete, removes(acta), {u"deleted for good"_s}, {noTrash}});
    row("delete, nothing selected", {{}, kDelete, kUnchanged, {u"Select the journal"_s}});
    row("D, nothing selected", {{}, type(u"D"_s), kUnchanged, {}, {}, d});
    row("another key", {acta, type(u"e"_s), kUnchanged});
    // The blank entry's and "."'s record files go, but nothing in Example is theirs.
    row("D on the blank entry", {QString(), type(u"D"_s), removes(QString()), {}, {}, d});
    row("delete .", {u"."_s, kDelete, removes(u"."_s)});
    // A linked example folder is not emptied through the link.
    const Step linked = [this](const TempLibrary &lib, FaultyFileSystem &) {
        lib.remove(u"Example/Acta");
        QVERIFY(QFile::link(m_outside->appDir(), lib.path(u"Example/Acta")));
    };
    // The field buttons hand the field's file to the desktop, made with its
    // default when missing; the blank entry's is opened, never made.
    const auto opens = [](const QString &journal, QPushButton *Form1::*button, const QString &file,
                          bool missing = false, const Change &change = kUnchanged) {
        const QList<Step> prepare{changing({}, missing ? QStringList{file} : QStringList())};
        return Edit{journal, pressing(button), change, {}, prepare, journal, {}, {file}};
    };
    row("Modify IF, the file missing", opens(acta, &Form1::Command5, u"IF/Acta.txt"_s, true, adds(acta)));
    row("Modify homepage", opens(cell, &Form1::Command6, u"Homepage/Cell.txt"_s));
    row("Modify notes", opens(cell, &Form1::Command1, u"Notes/Cell.txt"_s));
    row("Modify IF of the blank entry", opens(QString(), &Form1::Command5, u"IF/.txt"_s, true));
    row("Modify notes, nothing selected",
        {{}, pressing(&Form1::Command1), kUnchanged, {u"select a journal"_s}});
    // Another instance renamed Dalton to New: the program says so, rebuilds the
    // lists, and makes no file for Dalton nor under the name typed.
    const QList<Step> daltonGone{[](const TempLibrary &lib, FaultyFileSystem &) {
        for (const QString &entry :
             {u"Journal/%1.txt"_s, u"IF/%1.txt"_s, u"Homepage/%1.txt"_s, u"Notes/%1.txt"_s, u"Example/%1"_s})
            QVERIFY(QFile::rename(lib.path(entry.arg(u"Dalton"_s)), lib.path(entry.arg(u"New"_s))));
    }};
    const QStringList told{u"no longer in the library"_s, u"\nDalton"_s};
    const Act selectDalton{[](Form1 &w) { clickRow(w.List1, w.List1->items().indexOf(u"Dalton"_s)); }};
    row("selecting a journal gone elsewhere", {{}, selectDalton, kUnchanged, told, daltonGone});
    row("its IF, gone", {d, pressing(&Form1::Command5), kUnchanged, told, daltonGone});
    row("its homepage, gone", {d, pressing(&Form1::Command3), kUnchanged, told, daltonGone});
    row("renaming it, gone", {d, kRenameRefused, kUnchanged, told, daltonGone});
    row("it goes while the new name is asked",
        {d, rename(u"Newer"_s, d), renames(d, u"New"_s), told, {}, {}, daltonGone});
    row("delete, a linked folder", {acta, kDelete, removes(acta), {u"Example/Acta"_s, u"link"_s}, {linked}});
}

// The prompt is the real input dialog, answered as a person pastes a name.
// What the person sees afterwards is the library as it is on disk, with
// nothing selected but what the list's type-ahead picks after a key.
void JournalEditingTest::everyEditLeavesTheLibraryAsTold() {
    QFETCH(Edit, edit);
    TempLibrary lib;
    makeLibrary(lib);
    m_outside->write(u"precious.pdf", "precious");
    DialogInputPrompt dialog;
    ShownWindow shown(lib.appDir(), &dialog);
    Form1 &form = shown.window;
    TestPlatform &seams = shown.seams;
    if (edit.clicked)
        clickRow(form.List1, form.List1->items().indexOf(*edit.clicked));
    for (const Step &step : edit.prepare)
        step(lib, seams.fs);
    const QStringList before = lib.tree(), articlesShown = form.List3->items();
    const QMap<QString, QByteArray> held = lib.files(u"");
    QStringList asked;
    QTimer answering;
    answering.callOnTimeout([&] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!box)
            return;
        asked = {box->labelText(), box->windowTitle(), box->textValue()};
        for (const Step &step : edit.whileAsked)
            step(lib, seams.fs);
        auto *field = box->findChild<QLineEdit *>();
        QGuiApplication::clipboard()->setText(edit.act.answer);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(field, edit.act.answer.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    });
    answering.start(10);
    edit.act.press(form);

    QStringList expected = edit.change(before);
    expected.sort();
    QCOMPARE(lib.tree(), expected);
    QVERIFY(m_outside->exists(u"precious.pdf"));
    QCOMPARE(asked, edit.act.asks);
    QList<QStringList> starts;
    for (const QString &file : std::as_const(edit.opened))
        starts << QStringList{u"xdg-open"_s, lib.path(file)};
    QCOMPARE(seams.starter.starts, starts);
    const QStringList &reports = seams.errors.messages;
    QCOMPARE(unexpectedIn(reports, edit.told.isEmpty() ? 0 : 1, edit.told), QString());
    QCOMPARE(reports.join(u'\n').contains(u"undone"_s), edit.told.contains(u"undone"_s));
    const auto filesOnlyIn = [](QStringList some, const QStringList &other) {
        some.removeIf([&](const QString &entry) { return other.contains(entry) || entry.endsWith(u'/'); });
        return some;
    };
    const QStringList came = filesOnlyIn(expected, before), gone = filesOnlyIn(before, expected);
    // A record file that came holds what the one that went from its folder
    // held (a rename), or else its default.
    for (const QString &file : std::as_const(came)) {
        QByteArray bytes = defaultOf(file);
        for (const QString &old : std::as_const(gone))
            if (isRecordFile(old) && old.section(u'/', 0, 0) == file.section(u'/', 0, 0))
                bytes = held.value(old);
        if (isRecordFile(file))
            QCOMPARE(lib.read(file), bytes);
    }
    // Every file a deletion took is in the trash, with the path it is restored to.
    if (came.isEmpty() && QFileInfo(qEnvironmentVariable("XDG_DATA_HOME")).isDir()) {
        QStringList restorable;
        for (const QByteArray &info : m_dataHome->files(u"Trash/info")) {
            const QByteArray path = info.split('\n').value(1).mid(5); // Path=...
            restorable << QDir(lib.appDir())
                              .relativeFilePath(QString::fromUtf8(QByteArray::fromPercentEncoding(path)));
        }
        restorable.sort();
        QCOMPARE(restorable, gone);
    }
    QCOMPARE(libraryShown(form), libraryOnDisk(lib.appDir()));
    const bool stays = edit.clicked && edit.clicked == edit.selectedAfter; // no rebuild
    QCOMPARE(form.List3->items(), stays ? articlesShown : QStringList());
    QCOMPARE(form.currentJournal(), edit.selectedAfter);
}

// Names no listing gives are refused all the same: a path leading out of the
// record folders, and "..", whose example folder is the application folder.
void JournalEditingTest::namesLeadingOutOfTheLibraryAreRefused() {
    TempLibrary lib;
    makeLibrary(lib);
    const QStringList before = lib.tree();
    PosixFileSystem fs;
    for (const auto remove : {&deleteJournal, &deleteJournalByKey})
        QCOMPARE(unexpectedIn(remove(fs, lib.appDir(), u"../Journal/Acta"_s).messages, 1), QString());
    QCOMPARE(unexpectedIn(renameJournal(fs, lib.appDir(), u".."_s, u"Cells"_s).messages, 1), QString());
    QCOMPARE(lib.tree(), before);
}

QTEST_MAIN(JournalEditingTest)
#include "tst_journal_editing.moc"
