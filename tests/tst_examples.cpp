// Example articles: importing them through the dialog's drive, folder and file
// lists or by dropping files on the example list, and opening and deleting
// them from that list with the mouse, the delete button and the list's keys.
#include "examples/widgets/DirListBox.h"
#include "examples/widgets/DriveListBox.h"
#include "examples/Drives.h"
#include "examples/widgets/FileListBox.h"
#include "examples/widgets/Form3.h"
#include "mainwindow/widgets/ListBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
using Files = QMap<QString, QByteArray>;

namespace {

// The one import dialog on the screen; none when there is none, or two.
Form3 *shownDialog() {
    QList<Form3 *> shown;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<Form3 *>(widget); dialog && dialog->isVisible())
            shown << dialog;
    return shown.size() == 1 ? shown.first() : nullptr;
}

qsizetype rowNamed(const QListWidget *list, const QString &text) {
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no row %s", qPrintable(text));
    return list->row(found.last()); // a subfolder rather than a parent of the same name
}

// The window system's close button.
void closeByWindowButton(QWidget *window) {
    QCloseEvent close;
    QCoreApplication::sendEvent(window->windowHandle(), &close);
}

// What is done after Acta was clicked; its list then reads b.pdf, paper.pdf,
// x.pdf (in a linked folder outside the library), paper.pdf (in the subfolder
// sub). The person's folder Papers holds notes.txt, paper.pdf ("new") and a
// folder sub.
struct Session {
    Form1 &window;
    TestPlatform &seams;
    const TempLibrary &lib;
    const TempLibrary &files; // the person's own
    Form3 *dialog = nullptr;
};
using Step = std::function<void(Session &)>;

// The add button, then a double-click on Papers in the folder list.
const Step openDialogAtPapers = [](Session &s) {
    click(s.window.Command8);
    s.dialog = shownDialog();
    QVERIFY(s.dialog);
    doubleClickRow(s.dialog->Dir1, rowNamed(s.dialog->Dir1, u"Papers"_s));
};
Step clickFile(const QString &name) {
    return [name](Session &s) { clickRow(s.dialog->File1, rowNamed(s.dialog->File1, name)); };
}
Step removeBehind(const QString &relative) {
    return [relative](Session &s) { s.lib.remove(relative); };
}
// clickRow or doubleClickRow on an article.
Step onArticle(qsizetype row, void (*pick)(QAbstractItemView *, qsizetype) = clickRow) {
    return [=](Session &s) { pick(s.window.List3, row); };
}
Step type(QChar key) {
    return [key](Session &s) { QTest::keyClick(s.window.List3, key.toLatin1()); };
}
Step drop(const QStringList &names) {
    return [names](Session &s) {
        QStringList paths;
        for (const QString &name : names)
            paths << (name.startsWith(u'/') ? name : s.files.path(u"Papers/"_s + name));
        dropFiles(s.window.List3, paths);
    };
}
const Step pressDown = [](Session &s) { QTest::keyClick(s.dialog->File1, Qt::Key_Down); };
const Step pressExit = [](Session &s) { click(s.dialog->Command1); };
const Step closeDialog = [](Session &s) { closeByWindowButton(s.dialog); };
const Step selectCell = [](Session &s) { clickRow(s.window.List1, 1); };
const Step refresh = [](Session &s) { click(s.window.Command10); };
const Step pressDelete = [](Session &s) { click(s.window.Command9); };
const Step pressDownOnArticles = [](Session &s) { QTest::keyClick(s.window.List3, Qt::Key_Down); };
const Step bInUse = [](Session &s) { s.seams.fs.resist(s.lib.path(u"Example/Acta/b.pdf")); };
// From the root folder down to Acta's own example folder, a double-click each.
const Step walkToActasFolder = [](Session &s) {
    doubleClickRow(s.dialog->Dir1, 0);
    for (const QString &name : s.lib.path(u"Example/Acta").split(u'/', Qt::SkipEmptyParts))
        doubleClickRow(s.dialog->Dir1, rowNamed(s.dialog->Dir1, name));
};
// Six pieces of 200 ms each: the progress shows, and Cancel is pressed as
// soon as it is on the screen.
const Step slowCopyCancelled = [](Session &s) {
    s.files.write(u"Papers/paper.pdf", QByteArray(24 << 20, 'b'));
    s.seams.fs.copyPieceMs = 200;
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (progress && progress->windowHandle() && progress->windowHandle()->isExposed()) {
            click(progress->findChild<QPushButton *>());
            poll->deleteLater();
        }
    });
    poll->start(20);
};

struct Happening {
    QList<Step> steps;
    Files came = {};       // files below Example that came or changed, with their bytes
    QStringList gone = {}; // files below Example no longer there
    QStringList list3 = {};
    int counted = 5;  // articles the statistics lines count
    int messages = 0; // reports, each bilingual
    QString tooltip = {};
    QStringList trashed = {}; // the names in the trash
    QStringList opened = {};  // files below Example handed to the opener, one start each
};

const QString kB = u"b.pdf"_s, kPaper = u"paper.pdf"_s, kX = u"x.pdf"_s;
const QString kTop = u"Acta/paper.pdf"_s, kB2 = u"Acta/b.pdf"_s, kSub = u"Acta/sub/paper.pdf"_s,
              kC = u"Cell/c.pdf"_s;
const QStringList kActa{kB, kPaper, kX, kPaper};
const QStringList kRecounted{kB, u"notes.txt"_s, kPaper, kX, kPaper};
const Files kNotes{{u"Acta/notes.txt"_s, "notes"}};
const Files kBoth{{u"Acta/notes.txt"_s, "notes"}, {kTop, "new"}};

void row(const char *name, const Happening &happening) { QTest::newRow(name) << happening; }
void importRow(const char *name, QList<Step> steps, const Files &came, const QStringList &list3,
               int counted = 5, int messages = 0) {
    steps.prepend(openDialogAtPapers);
    row(name, {steps, came, {}, list3, counted, messages});
}

} // namespace

Q_DECLARE_METATYPE(Happening)

class ExamplesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { QDir::setCurrent(m_startFolder); }
    void theExampleFolderHoldsWhatThePersonDid_data();
    void theExampleFolderHoldsWhatThePersonDid();
    void addButtonOpensOneDialogThatFollowsTheDrive();
    void drivesAreThePlacesAPersonKeepsFilesIn();

private:
    std::optional<TempLibrary> m_files;      // the person's files, the process's folder
    std::optional<QTemporaryDir> m_dataHome; // a fresh trash
    QString m_startFolder;
};

void ExamplesTest::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
    m_startFolder = QDir::currentPath();
}

void ExamplesTest::init() {
    m_files.emplace(false);
    m_dataHome.emplace();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome->path()));
    m_files->makeFolder(u"Papers/sub");
    m_files->write(u"Papers/notes.txt", "notes");
    m_files->write(u"Papers/paper.pdf", "new");
    m_files->write(u"Linked/x.pdf", "x");
    QVERIFY(QDir::setCurrent(m_files->appDir()));
}

void ExamplesTest::theExampleFolderHoldsWhatThePersonDid_data() {
    QTest::addColumn<Happening>("happening");
    importRow("a click imports", {clickFile(u"notes.txt"_s)}, kNotes, kActa);
    importRow("same name replaces", {clickFile(kPaper)}, {{kTop, "new"}}, kActa);
    importRow("an arrow key imports", {clickFile(u"notes.txt"_s), pressDown}, kBoth, kActa);
    importRow("Exit recounts", {clickFile(u"notes.txt"_s), pressExit}, kNotes, kRecounted, 6);
    importRow("the close button recounts", {clickFile(u"notes.txt"_s), closeDialog}, kNotes, kRecounted, 6);
    importRow("another journal meanwhile", {clickFile(u"notes.txt"_s), selectCell, clickFile(kPaper)},
              {{u"Acta/notes.txt"_s, "notes"}, {u"Cell/paper.pdf"_s, "new"}}, {u"c.pdf"_s});
    importRow("onto itself", {walkToActasFolder, clickFile(kPaper)}, {}, kActa);
    importRow("no journal selected any more", {refresh, clickFile(u"notes.txt"_s)}, {}, {}, 5, 1);
    importRow("a slow copy cancelled", {slowCopyCancelled, clickFile(kPaper)}, {}, kActa);
    const QList<Step> folderGone{openDialogAtPapers, removeBehind(u"Example/Acta"_s),
                                 clickFile(u"notes.txt"_s)};
    row("the example folder is gone", {folderGone, {}, {kTop, kB2, kSub}, kActa, 5, 1});
    row("two files and a folder dropped",
        {{drop({u"notes.txt"_s, kPaper, u"sub"_s})}, kBoth, {}, kRecounted, 6, 1});
    QFile version(u"/proc/version"_s);
    QVERIFY(version.open(QIODevice::ReadOnly));
    // The kernel copies no pseudo file: its size says 0, and only reading finds the text.
    const Files versionCame{{u"Acta/version"_s, version.readAll()}};
    row("a file of /proc dropped",
        {{drop({u"/proc/version"_s})}, versionCame, {}, {kB, kPaper, u"version"_s, kX, kPaper}, 6});

    row("a double-click opens the subfolder's file",
        {{onArticle(3, doubleClickRow)}, {}, {}, kActa, 5, 0, kPaper, {}, {kSub}});
    const Step openPaper = onArticle(1, doubleClickRow);
    row("two double-clicks, two starts",
        {{openPaper, openPaper}, {}, {}, kActa, 5, 0, kPaper, {}, {kTop, kTop}});
    row("an arrow key sets the tooltip", {{onArticle(1), pressDownOnArticles}, {}, {}, kActa, 5, 0, kX});
    row("the button deletes the subfolder's file",
        {{onArticle(3), pressDelete}, {}, {kSub}, {kB, kPaper, kX}, 4, 0, kPaper, {kPaper}});
    row("D deletes the top level's file",
        {{onArticle(1), type(u'D')}, {}, {kTop}, {kB, kX, kPaper}, 4, 0, kPaper, {kPaper}});
    row("d deletes", {{onArticle(0), type(u'd')}, {}, {kB2}, {kPaper, kX, kPaper}, 4, 0, kB, {kB}});
    // Rebuilt before the list's type-ahead sees the key, which then picks x.pdf.
    const Step bGone = removeBehind(u"Example/Acta/b.pdf"_s);
    row("another key rebuilds",
        {{onArticle(1), bGone, type(u'x')}, {}, {kB2}, {kPaper, kX, kPaper}, 4, 0, kX});
    row("the button without a selection", {{pressDelete}, {}, {}, kActa, 5, 1});
    row("D without a selection", {{type(u'D')}, {}, {}, kActa});
    row("a file already removed",
        {{onArticle(0), bGone, pressDelete}, {}, {kB2}, {kPaper, kX, kPaper}, 4, 0, kB});
    row("a file in use", {{bInUse, onArticle(0), pressDelete}, {}, {}, kActa, 5, 1, kB});
    row("a file reached through a link stays", {{onArticle(2), pressDelete}, {}, {}, kActa, 5, 1, kX});
    // Without a journal a key lists all of Example, and D deletes the very file picked.
    const QList<Step> allListed{refresh, type(u'q'), onArticle(4), type(u'D')};
    row("no journal selected", {allListed, {}, {kC}, kActa, 4, 0, u"c.pdf"_s, {u"c.pdf"_s}});
}

// The example folders hold exactly what the person imported or left, and a
// file no import changed is the very file it was; a failed or cancelled
// import leaves no trace of its copy. Opening and deleting reach the file the
// person picked, by its path, and only that file; the list and the statistics
// then show the folder as it is.
void ExamplesTest::theExampleFolderHoldsWhatThePersonDid() {
    QFETCH(Happening, happening);
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.addJournal(u"Cell");
    Files example{{kTop, "old"}, {kB2, "b"}, {kSub, "sub"}, {kC, "c"}};
    for (auto file = example.cbegin(); file != example.cend(); ++file)
        lib.write(u"Example/"_s + file.key(), file.value());
    QVERIFY(QFile::link(m_files->path(u"Linked"), lib.path(u"Example/Acta/linked")));
    ShownWindow shown(lib.appDir());
    clickRow(shown.window.List1, 0);
    const std::optional<EntryId> paper = PosixFileSystem().entryId(lib.path(u"Example/Acta/paper.pdf"));
    Session session{shown.window, shown.seams, lib, *m_files};
    for (const Step &step : happening.steps)
        step(session);

    for (const QString &file : happening.gone)
        example.remove(file);
    example.insert(happening.came);
    QCOMPARE(lib.files(u"Example"), example);
    if (example.value(kTop) == "old")
        QCOMPARE(PosixFileSystem().entryId(lib.path(u"Example/Acta/paper.pdf")), paper);
    QVERIFY(m_files->exists(u"Linked/x.pdf"));
    QCOMPARE(QDir(m_dataHome->filePath(u"Trash/files"_s)).entryList(QDir::Files), happening.trashed);
    QList<QStringList> starts;
    for (const QString &file : happening.opened)
        starts << QStringList{u"xdg-open"_s, lib.path(u"Example/"_s + file)};
    QCOMPARE(shown.seams.starter.starts, starts);
    QCOMPARE(shown.window.List3->items(), happening.list3);
    QCOMPARE(shown.window.List3->toolTip(), happening.tooltip);
    QCOMPARE(shown.window.surfaceLines(), statistics(2, happening.counted));
    QCOMPARE(unexpectedIn(shown.seams.errors.messages, happening.messages), QString());
}

// Without a journal of its own there is nowhere to import to; otherwise the
// folder is made or listed afresh, and a second click finds the dialog open.
// The dialog opens on the current folder and its drive, follows the drive the
// person picks, and closes with the main window.
void ExamplesTest::addButtonOpensOneDialogThatFollowsTheDrive() {
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.write(u"Example/Acta/paper.pdf", "old");
    lib.write(u"Journal/blank/.txt", "\"\"\r\n");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    click(w.Command8); // nothing selected
    clickRow(w.List1, 1);
    click(w.Command8); // the blank entry, whose list is all of Example
    QCOMPARE(unexpectedIn(shown.seams.errors.messages, 2), QString());
    QVERIFY(!shownDialog());
    QCOMPARE(w.List3->items(), QStringList{kPaper});
    clickRow(w.List1, 0);
    lib.remove(u"Example/Acta");
    click(w.Command8); // the folder is made again; the list stays as it was
    QVERIFY(lib.isFolder(u"Example/Acta") && shownDialog());
    QCOMPARE(w.List3->items(), QStringList{kPaper});
    lib.write(u"Example/Acta/late.pdf", "late");
    click(w.Command8); // listed afresh, and still one dialog
    QCOMPARE(w.List3->items(), QStringList{u"late.pdf"_s});
    QPointer<Form3> dialog = shownDialog();
    QVERIFY(dialog);
    QCOMPARE(shown.seams.errors.messages.size(), 2);

    QCOMPARE(dialog->Dir1->path(), m_files->appDir());
    QCOMPARE(dialog->Drive1->drive(), u"/"_s); // the temporary folders lie on the root's volume
    dialog->Drive1->setFocus();
    QTest::keyClick(dialog->Drive1, Qt::Key_Down); // the home folder comes second
    QCOMPARE(dialog->File1->path(), QDir::homePath());
    QTest::keyClick(dialog->Drive1, Qt::Key_Home);
    QCOMPARE(dialog->Dir1->path(), u"/"_s);
    QCOMPARE(dialog->File1->path(), u"/"_s);
    closeByWindowButton(&w);
    QTRY_VERIFY(!dialog);
}

// The library's folders stand in for mount points.
void ExamplesTest::drivesAreThePlacesAPersonKeepsFilesIn() {
    TempLibrary lib;
    lib.write(u"Journal/Acta.txt", "");
    const QString disk = lib.path(u"IF"), stick = lib.path(u"Journal");
    QList<MountedVolume> mounted{
        {stick, "vfat", u"STICK"_s}, {disk, "ext4", {}}, {lib.path(u"Example"), "vfat", {}, false}};
    for (const QString &system :
         {u"/proc"_s, u"/sys/fs/cgroup"_s, u"/run/user/0"_s, u"/dev/shm"_s, u"/snap/core/1"_s})
        mounted.append({system, "ext4", {}});
    for (const auto &[root, type] :
         {std::pair{u"/"_s, "ext4"}, std::pair{lib.path(u"Notes"), "overlay"},
          std::pair{lib.path(u"Homepage"), "tmpfs"}, std::pair{lib.path(u"Journal/Acta.txt"), "ext4"}})
        mounted.append({root, type, {}});
    QStringList shown;
    for (const Drive &drive : drivesToPick(PosixFileSystem(), lib.appDir(), mounted))
        shown << drive.root + u" = "_s + drive.text;
    QCOMPARE(shown,
             (QStringList{u"/ = / [根文件夹 Root folder]"_s,
                          lib.appDir() + u" = "_s + lib.appDir() + u" [主文件夹 Home folder]"_s,
                          disk + u" = "_s + disk + u" [IF]"_s, stick + u" = "_s + stick + u" [STICK]"_s}));
}

QTEST_MAIN(ExamplesTest)
#include "tst_examples.moc"
