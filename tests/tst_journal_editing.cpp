// Adding, renaming, deleting journals and opening their field files as a
// person does it in the window: all or nothing where the disk allows it,
// every failure of one action told in one report, and the lists rebuilt from
// disk afterwards. That no reserved or control character gets into a name is
// fuzz_journal_name's part.
#include "desktop/DialogInputPrompt.h"
#include "editing/DeleteJournal.h"
#include "editing/RenameJournal.h"
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QInputDialog>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
using Op = FaultyFileSystem::Op;
using enum FailureKind;

namespace {

// The journal list reads ., Acta, Cell, Dalton, Nature and, from Journal/old,
// the blank entry. Acta and Cell have one article each, Dalton an empty
// example folder; Nature has only its journal and homepage files. A file lies
// loose in Example, and one in a folder outside the library's.
void makeLibrary(const TempLibrary &lib) {
    for (const QStringView name : {u"Acta", u"Cell", u"Dalton"})
        lib.addJournal(name);
    for (const QStringView file :
         {u"Journal/Nature.txt", u"Homepage/Nature.txt", u"Example/Acta/a.pdf", u"Example/Cell/a.pdf",
          u"Example/loose.pdf", u"Journal/..txt", u"Journal/old/.txt", u"Outside/precious.pdf"})
        lib.write(file, file.toUtf8());
    lib.makeFolder(u"Example/Dalton");
}

// A journal's four record files.
QStringList records(const QString &name) {
    return QStringList{u"Journal/%1.txt"_s, u"IF/%1.txt"_s, u"Homepage/%1.txt"_s, u"Notes/%1.txt"_s}
        .replaceInStrings(u"%1"_s, name);
}

// The answer that confirms the text the input dialog offers.
const QString kOffered = u"<as offered>"_s;

const Step kNothing = [](Session &) {};

// Presses the button and answers the input dialog it opens as a person does:
// types the answer over the text offered and confirms, confirms the text
// offered, or cancels (no answer; also a dialog nobody expects). What happens
// meanwhile elsewhere happens while the dialog is open.
Step answering(QPushButton *MainControls::*button, const QString &answer, const Step &meanwhile = kNothing) {
    return [=](Session &s) {
        QTimer answerer;
        answerer.callOnTimeout([&] {
            if (auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
                meanwhile(s);
                // The text offered comes selected: typing replaces it. One key carries
                // the whole answer, as an input method commits it.
                if (answer != kOffered)
                    QTest::sendKeyEvent(QTest::Click, box->focusWidget(), Qt::Key_unknown, answer,
                                        Qt::NoModifier);
                QTest::keyClick(box->focusWidget(), answer.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
            }
        });
        answerer.start(10);
        click(s.ui().*button);
    };
}
Step add(const QString &name) { return answering(&MainControls::Command7, name); }
Step rename(const QString &name = {}, const Step &meanwhile = kNothing) {
    return answering(&MainControls::Command4, name, meanwhile);
}
struct Edit {
    QList<Step> before; // the clicks, and the changes on disk, before the action
    Step act;
    TreeChange change = {};
    Kinds told = {};
    std::optional<QString> selected = {}; // the journal selected afterwards
    QStringList opened = {};              // files handed to the desktop's opener
};

// The pieces of a row, written so that rows read as lines.
template <typename... Steps> QList<Step> on(Steps... steps) { return {steps...}; }
TreeChange moved(const QStringList &made, const QStringList &gone) { return {made, gone}; }
TreeChange made(const QStringList &entries) { return moved(entries, {}); }
TreeChange gone(const QStringList &entries) { return moved({}, entries); }
template <typename... Kind> Kinds told(Kind... kinds) { return {{kinds...}}; }

} // namespace

Q_DECLARE_METATYPE(Edit)

static void row(const char *name, const Edit &edit) { QTest::newRow(name) << edit; }

class JournalEditingTest : public QObject {
    Q_OBJECT
private slots:
    void everyEditLeavesTheLibraryAsTold_data();
    void everyEditLeavesTheLibraryAsTold();
    void namesLeadingOutOfTheLibraryAreRefused();
};

void JournalEditingTest::everyEditLeavesTheLibraryAsTold_data() {
    QTest::addColumn<Edit>("edit");
    const auto journal = [](const QString &name) { return clicking(&MainControls::List1, name); };
    const auto type = [](const QString &keys) { return typing(&MainControls::List1, keys); };
    const Step acta = journal(u"Acta"_s), cell = journal(u"Cell"_s), dalton = journal(u"Dalton"_s);
    const Step remove = pressing(&MainControls::Command11), impact = pressing(&MainControls::Command5);
    const QString longest(251, u'x'), cells = u"Cells"_s;
    row("add the longest name", {on(), add(longest), made(records(longest))});
    // The files made hold their defaults, the notes file the name.
    const Step addNature = [](Session &s) {
        add(u"Nature"_s)(s);
        QCOMPARE(s.lib.read(u"IF/Nature.txt") + s.lib.read(u"Notes/Nature.txt"),
                 quoted(u"IF:"_s) + quoted(u"Nature:"_s));
    };
    row("add completes a journal", {on(), addNature, made({u"IF/Nature.txt"_s, u"Notes/Nature.txt"_s})});
    row("add, cancelled", {on(cell), add({})});
    row("add refuses a control character", {on(), add(u"A\tB"_s), TreeChange(), told(NotAJournalName)});
    // The file made before the failure cannot be taken back: it stays.
    row("add fails", {on(failing(Op::Write, 3), resisting({u"IF/Bio.txt"_s})), add(u"Bio"_s),
                      made({u"IF/Bio.txt"_s}), told(CannotCreate, CannotUndo)});

    const QString xibao = u" 细胞 Cell "_s, x = u"Example/ 细胞 Cell /"_s, c = u"Example/Cell/"_s;
    // Blanks and Chinese stay in the name; the example folder moves with its article.
    row("rename", {on(cell), rename(xibao),
                   moved(records(xibao) << x << x + u"a.pdf"_s, records(u"Cell"_s) << c << c + u"a.pdf"_s)});
    const Step noFolder = changing({}, {c});
    row("rename to the name offered", {on(cell, noFolder), rename(kOffered), made({c})});
    // A file or a folder has the name; the report names it.
    for (const QString &taken : {u"Notes/Cells.txt"_s, u"IF/Cells.txt/x"_s, u"Example/Cells/x"_s}) {
        const Step renameNamingIt = [=](Session &s) {
            rename(cells)(s);
            QVERIFY(s.seams().errors.texts().value(0).contains(s.lib.path(taken.section(u'/', 0, 1))));
        };
        row(qPrintable(taken), {on(cell, changing({taken})), renameNamingIt, TreeChange(), told(NameTaken)});
    }
    row("rename refuses a name", {on(cell), rename(u"Cell/Press"_s), TreeChange(), told(NotAJournalName)});
    row("rename, cancelled", {on(cell), rename()});
    // With its homepage and notes files missing, Cell's journal and IF files
    // are renamed (after the rename's note); making the missing folder fails,
    // and so does the first rename back, of the IF file: that one stays renamed.
    row("rename fails",
        {on(cell, noFolder, changing({}, {u"Homepage/Cell.txt"_s, u"Notes/Cell.txt"_s}),
            failing(Op::CreateFolder), failing(Op::Rename, 3)),
         rename(cells), moved({u"IF/Cells.txt"_s}, {u"IF/Cell.txt"_s}), told(CannotRename, CannotUndo)});

    const QString a = u"Example/Acta/"_s;
    const QStringList own = records(u"Acta"_s) << a + u"a.pdf"_s; // the folder aside
    row("delete", {on(acta), remove, gone(QStringList(own) << a)});
    row("delete, no example folder", {on(acta, changing({}, {a})), remove, gone(records(u"Acta"_s))});
    // Subfolders are not the journal's own articles: they stay, and so does the folder.
    row("subfolder", {on(acta, changing({a + u"old/b.pdf"_s})), remove, gone(own), told(SubfoldersKept)});
    // A d that deleted is used up; the second, with nothing selected, deletes
    // nothing and reaches the type-ahead, which picks Dalton.
    row("d, d keeps the folder", {on(acta), type(u"dd"_s), gone(own), Kinds(), u"Dalton"_s});
    const QStringList inUse{a + u"a.pdf"_s, u"Journal/Acta.txt"_s};
    row("delete, files in use", {on(acta, resisting(inUse)), remove, gone(records(u"Acta"_s).mid(1)),
                                 told(CannotDelete, CannotDelete)});
    // A file that resists once (its move to the trash, then its removal) is
    // tried again; then the folder stays.
    row("delete, a second attempt", {on(acta, resisting({a + u"a.pdf"_s}, 2)), remove, gone(own)});
    // Without a selection a D is only type-ahead: the blank-name journal's file stays.
    row("D unselected", {on(changing({u"IF/.txt"_s})), type(u"D"_s), TreeChange(), Kinds(), u"Dalton"_s});
    row("another key", {on(acta), type(u"e"_s)});
    // The blank entry's and "."'s record files (the click made the missing
    // ones) go, but nothing in Example is theirs.
    const QStringList blank{u"IF/.txt"_s, u"Homepage/.txt"_s, u"Notes/.txt"_s};
    row("D on the blank entry", {on(journal({})), type(u"D"_s), gone(blank)});
    row("delete .", {on(journal(u"."_s)), remove, gone(records(u"."_s))});
    // A linked example folder is not emptied through the link.
    const Step linked = [](Session &s) { QFile::link(s.lib.path(u"Outside"), s.lib.path(u"Example/Acta")); };
    row("delete, a linked folder",
        {on(acta, changing({}, {a}), linked), remove, gone(records(u"Acta"_s)), told(LinkedFolder)});

    // The field buttons hand the field's file to the desktop, made with its
    // default when missing; the blank entry's is opened, never made.
    const Step fields = [](Session &s) {
        pressing(&MainControls::Command5, &MainControls::Command6, &MainControls::Command1)(s);
        QCOMPARE(s.lib.read(u"Notes/Acta.txt"), quoted(u"Acta:"_s));
    };
    row("the field buttons", {on(acta, changing({}, {u"Notes/Acta.txt"_s})), fields,
                              made({u"Notes/Acta.txt"_s}), Kinds(), u"Acta"_s, records(u"Acta"_s).mid(1)});
    row("IF of the blank entry", {on(journal({}), changing({}, blank)), impact, TreeChange(), Kinds(),
                                  QString(), QStringList{u"IF/.txt"_s}});
    int n = 0;
    for (const Step &act : {rename(), remove, pressing(&MainControls::Command1)})
        QTest::addRow("nothing selected (%d)", ++n) << Edit{on(), act, TreeChange(), told(NothingSelected)};

    // Another instance renamed Dalton to New: the program says so, rebuilds the
    // lists, and makes no file for Dalton nor under the name typed.
    const Step renamedElsewhere = [](Session &s) {
        for (QStringList all = records(u"%1"_s) << u"Example/%1"_s; const QString &entry : all)
            QVERIFY(QFile::rename(s.lib.path(entry.arg(u"Dalton"_s)), s.lib.path(entry.arg(u"New"_s))));
    };
    for (const Step &act : {dalton, impact, pressing(&MainControls::Command3), rename(), remove, type(u"d"_s),
                            pressing(&MainControls::Command8)})
        QTest::addRow("gone %d", ++n) << Edit{on(dalton, renamedElsewhere), act, {}, told(JournalGone)};
    row("gone while asked",
        {on(dalton), rename(u"Newer"_s, renamedElsewhere),
         moved(records(u"New"_s) << u"Example/New/"_s, records(u"Dalton"_s) << u"Example/Dalton/"_s),
         told(JournalGone)});
}

// The prompt is the real input dialog. What the person sees afterwards is the
// library as it is on disk, with nothing selected but what the list's
// type-ahead picks after a key, or what stays selected without a rebuild.
void JournalEditingTest::everyEditLeavesTheLibraryAsTold() {
    QFETCH(Edit, edit);
    Session s;
    makeLibrary(s.lib);
    DialogInputPrompt dialog;
    ShownWindow &shown = s.start(&dialog);
    for (const Step &step : edit.before)
        step(s);
    const Snapshot before = s.lib.snapshot();
    edit.act(s);

    TreeChange expected = edit.change;
    for (QStringList *entries : {&expected.made, &expected.gone})
        entries->sort();
    QCOMPARE(changeBetween(before, s.lib.snapshot()), expected);
    QCOMPARE(shown.seams.errors.kinds(), edit.told);
    // A failure whose undo failed too ends with its reason, not with a word that all was undone.
    if (edit.told.value(0).contains(CannotUndo))
        QVERIFY(shown.seams.errors.reports.first().first().message.endsWith(u"(injected failure)"_s));
    QList<QStringList> starts;
    for (const QString &file : std::as_const(edit.opened))
        starts << QStringList{u"xdg-open"_s, s.lib.path(file)};
    QCOMPARE(shown.seams.starter.starts, starts);
    // Every file a deletion took is in the trash, with the path it is restored to; a rename trashes nothing.
    QStringList trashed = expected.made.isEmpty() ? expected.gone : QStringList();
    trashed.removeIf([](const QString &entry) { return entry.endsWith(u'/'); });
    QCOMPARE(restorable(s), trashed);
    QCOMPARE(libraryShown(shown), libraryOnDisk(s.lib.appDir()));
    QCOMPARE(shown.window.currentJournal(), edit.selected);
    // Every rebuild empties the example list; the field buttons rebuild nothing.
    QCOMPARE(shown.ui.List3->items().isEmpty(), edit.opened.isEmpty());
}

// Names no listing gives are refused all the same: a path leading out of the
// record folders, and "..", whose example folder is the application folder.
void JournalEditingTest::namesLeadingOutOfTheLibraryAreRefused() {
    TempLibrary lib;
    makeLibrary(lib);
    const Snapshot before = lib.snapshot();
    TestPlatform seams;
    for (const auto remove : {&deleteJournal, &deleteJournalByKey})
        seams.errors.report(nullptr, remove(seams.fs, lib.appDir(), u"../Journal/Acta"_s).failures);
    seams.errors.report(nullptr, renameJournal(seams.fs, lib.appDir(), u".."_s, u"Cells"_s).failures);
    QCOMPARE(seams.errors.kinds(), (Kinds{{NotAJournalName}, {NotAJournalName}, {NoExampleFolder}}));
    QCOMPARE(changeBetween(before, lib.snapshot()), TreeChange());
}

QTEST_MAIN(JournalEditingTest)
#include "tst_journal_editing.moc"
