// Importing example articles: the dialog's drive, folder and file lists, the
// main window's button, and files dropped on the example list.
#include "examples/DirListBox.h"
#include "examples/DriveListBox.h"
#include "examples/Drives.h"
#include "examples/FileListBox.h"
#include "examples/Form3.h"
#include "mainwindow/ListBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <optional>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
using Op = FaultyFileSystem::Op;
using Files = QMap<QString, QByteArray>;

namespace {

Form3 *shownDialog() {
    Form3 *found = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<Form3 *>(widget); dialog && dialog->isVisible()) {
            if (found)
                qFatal("two import dialogs are open");
            found = dialog;
        }
    }
    return found;
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

// What is done after Acta was clicked, the dialog opened and the folder
// Papers entered, which holds notes.txt, paper.pdf ("new") and a folder sub.
struct Session {
    Form1 &window;
    Form3 *dialog;
    TestPlatform &seams;
    const TempLibrary &lib;
    QString papers;
};
using Step = std::function<void(Session &)>;

Step clickFile(const QString &name) {
    return [name](Session &s) { clickRow(s.dialog->File1, rowNamed(s.dialog->File1, name)); };
}
Step fail(Op op) {
    return [op](Session &s) { s.seams.fs.failOn(op); };
}
Step removeFile(const QString &path) {
    return [path](Session &s) { QFile::remove(s.papers + path); };
}
const Step pressDown = [](Session &s) { QTest::keyClick(s.dialog->File1, Qt::Key_Down); };
const Step pressExit = [](Session &s) { click(s.dialog->Command1); };
const Step closeDialog = [](Session &s) { closeByWindowButton(s.dialog); };
const Step selectCell = [](Session &s) { clickRow(s.window.List1, 1); };
const Step refresh = [](Session &s) { click(s.window.Command10); };
const Step removeActasFolder = [](Session &s) { s.lib.remove(u"Example/Acta"); };
// From the root folder down to Acta's own example folder, a double-click each.
const Step walkToActasFolder = [](Session &s) {
    doubleClickRow(s.dialog->Dir1, 0);
    for (const QString &name : s.lib.path(u"Example/Acta").split(u'/', Qt::SkipEmptyParts))
        doubleClickRow(s.dialog->Dir1, rowNamed(s.dialog->Dir1, name));
};
// Six pieces of 200 ms each: the progress shows, and Cancel is pressed as
// soon as it is on the screen.
const Step slowCopyCancelled = [](Session &s) {
    QFile big(s.papers + u"/paper.pdf"_s);
    QVERIFY(big.open(QIODevice::WriteOnly) && big.write(QByteArray(24 << 20, 'b')) == 24 << 20);
    big.close();
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
void drop(Session &s, const QStringList &paths) { dropFiles(s.window.List3, paths); }
const Step dropTwoFilesAndAFolder = [](Session &s) {
    drop(s, {s.papers + u"/notes.txt"_s, s.papers + u"/paper.pdf"_s, s.papers + u"/sub"_s});
};
// The kernel copies no pseudo file: its size says 0, and only reading finds the text.
const Step dropProcVersion = [](Session &s) { drop(s, {u"/proc/version"_s}); };

struct Import {
    QList<Step> steps;
    Files example;     // every file below Example afterwards
    QStringList list3; // the example list afterwards
    int counted;       // articles the statistics lines count
    int messages;      // reports, each bilingual
};

const Files kBefore{{u"Acta/paper.pdf"_s, "old"}};
const Files kNotes{{u"Acta/paper.pdf"_s, "old"}, {u"Acta/notes.txt"_s, "notes"}};
const Files kBoth{{u"Acta/paper.pdf"_s, "new"}, {u"Acta/notes.txt"_s, "notes"}};
const QStringList kOld{u"paper.pdf"_s};
const QStringList kNew{u"notes.txt"_s, u"paper.pdf"_s};

void row(const char *name, const QList<Step> &steps, const Files &example, const QStringList &list3,
         int counted, int messages) {
    QTest::newRow(name) << Import{steps, example, list3, counted, messages};
}

} // namespace

Q_DECLARE_METATYPE(Import)

class ImportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { QDir::setCurrent(m_startFolder); }
    void theDialogImportsTheClickedFile_data();
    void theDialogImportsTheClickedFile();
    void addButtonOpensOneDialogForAJournal();
    void theDialogFollowsTheDriveAndTheMainWindow();
    void drivesAreThePlacesAPersonKeepsFilesIn();

private:
    std::optional<QTemporaryDir> m_files; // the person's files, the process's folder
    QString m_startFolder;
};

void ImportTest::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
    m_startFolder = QDir::currentPath();
}

void ImportTest::init() {
    m_files.emplace();
    QDir(m_files->path()).mkpath(u"Papers/sub"_s);
    for (const auto &[name, bytes] : {std::pair{u"notes.txt"_s, "notes"}, std::pair{u"paper.pdf"_s, "new"}}) {
        QFile file(m_files->path() + u"/Papers/"_s + name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) > 0);
    }
    QVERIFY(QDir::setCurrent(m_files->path()));
}

void ImportTest::theDialogImportsTheClickedFile_data() {
    QTest::addColumn<Import>("import");
    const Files intoCell{
        {u"Acta/paper.pdf"_s, "old"}, {u"Acta/notes.txt"_s, "notes"}, {u"Cell/paper.pdf"_s, "new"}};
    row("a click imports", {clickFile(u"notes.txt"_s)}, kNotes, kOld, 1, 0);
    row("same name replaces", {clickFile(u"paper.pdf"_s)}, {{u"Acta/paper.pdf"_s, "new"}}, kOld, 1, 0);
    row("an arrow key imports", {clickFile(u"notes.txt"_s), pressDown}, kBoth, kOld, 1, 0);
    row("Exit recounts", {clickFile(u"notes.txt"_s), pressExit}, kNotes, kNew, 2, 0);
    row("the close button recounts", {clickFile(u"notes.txt"_s), closeDialog}, kNotes, kNew, 2, 0);
    row("another journal meanwhile", {clickFile(u"notes.txt"_s), selectCell, clickFile(u"paper.pdf"_s)},
        intoCell, {}, 1, 0);
    row("onto itself", {walkToActasFolder, clickFile(u"paper.pdf"_s)}, kBefore, kOld, 1, 0);
    row("no journal selected any more", {refresh, clickFile(u"notes.txt"_s)}, kBefore, {}, 1, 1);
    row("the copy fails", {fail(Op::Copy), clickFile(u"paper.pdf"_s)}, kBefore, kOld, 1, 1);
    row("putting the copy in place fails", {fail(Op::Replace), clickFile(u"paper.pdf"_s)}, kBefore, kOld, 1,
        1);
    row("the source is gone", {removeFile(u"/paper.pdf"_s), clickFile(u"paper.pdf"_s)}, kBefore, kOld, 1, 1);
    row("the example folder is gone", {removeActasFolder, clickFile(u"notes.txt"_s)}, {}, kOld, 1, 1);
    row("a slow copy cancelled", {slowCopyCancelled, clickFile(u"paper.pdf"_s)}, kBefore, kOld, 1, 0);
    row("two files and a folder dropped", {dropTwoFilesAndAFolder}, kBoth, kNew, 2, 1);
    QFile version(u"/proc/version"_s);
    QVERIFY(version.open(QIODevice::ReadOnly));
    row("a file of /proc dropped", {dropProcVersion},
        {{u"Acta/paper.pdf"_s, "old"}, {u"Acta/version"_s, version.readAll()}},
        {u"paper.pdf"_s, u"version"_s}, 2, 0);
}

// The example folder holds exactly what the person imported, and a file the
// import did not change is the very file it was; a failed or cancelled import
// leaves no trace of its copy.
void ImportTest::theDialogImportsTheClickedFile() {
    QFETCH(Import, import);
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.addJournal(u"Cell");
    lib.write(u"Example/Acta/paper.pdf", "old");
    ShownWindow shown(lib.appDir());
    clickRow(shown.window.List1, 0);
    click(shown.window.Command8);
    Form3 *dialog = shownDialog();
    QVERIFY(dialog);
    doubleClickRow(dialog->Dir1, rowNamed(dialog->Dir1, u"Papers"_s));
    const std::optional<EntryId> paper = PosixFileSystem().entryId(lib.path(u"Example/Acta/paper.pdf"));

    Session session{shown.window, dialog, shown.seams, lib, m_files->path() + u"/Papers"_s};
    for (const Step &step : import.steps)
        step(session);

    const Files example = lib.files(u"Example");
    QCOMPARE(example, import.example);
    if (example.value(u"Acta/paper.pdf"_s) == "old")
        QCOMPARE(PosixFileSystem().entryId(lib.path(u"Example/Acta/paper.pdf")), paper);
    QCOMPARE(shown.window.List3->items(), import.list3);
    QCOMPARE(shown.window.surfaceLines(), statistics(2, import.counted));
    QCOMPARE(shown.seams.errors.messages.size(), import.messages);
    for (const QString &message : shown.seams.errors.messages)
        QVERIFY2(isBilingual(message), qPrintable(message));
}

// Without a journal of its own there is nowhere to import to; otherwise the
// folder is made or listed afresh, and a second click finds the dialog open.
void ImportTest::addButtonOpensOneDialogForAJournal() {
    TempLibrary lib;
    lib.addJournal(u"Acta");
    lib.write(u"Example/Acta/paper.pdf", "old");
    lib.write(u"Journal/blank/.txt", "\"\"\r\n");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    click(w.Command8); // nothing selected
    clickRow(w.List1, 1);
    click(w.Command8); // the blank entry, whose list is all of Example
    QCOMPARE(shown.seams.errors.messages.size(), 2);
    QVERIFY(!shownDialog());
    QCOMPARE(w.List3->items(), kOld);

    clickRow(w.List1, 0);
    lib.remove(u"Example/Acta");
    click(w.Command8); // the folder is made again; the list stays as it was
    QVERIFY(lib.isFolder(u"Example/Acta") && shownDialog());
    QCOMPARE(w.List3->items(), kOld);
    lib.write(u"Example/Acta/late.pdf", "late");
    click(w.Command8); // listed afresh, and still one dialog
    QCOMPARE(w.List3->items(), QStringList{u"late.pdf"_s});
    QVERIFY(shownDialog());
    QCOMPARE(shown.seams.errors.messages.size(), 2);
}

void ImportTest::theDialogFollowsTheDriveAndTheMainWindow() {
    TempLibrary lib;
    lib.addJournal(u"Acta");
    ShownWindow shown(lib.appDir());
    clickRow(shown.window.List1, 0);
    click(shown.window.Command8);
    QPointer<Form3> dialog = shownDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->Dir1->path(), m_files->path());
    QCOMPARE(dialog->Drive1->drive(), u"/"_s); // the temporary folders lie on the root's volume
    dialog->Drive1->setFocus();
    QTest::keyClick(dialog->Drive1, Qt::Key_Down); // the home folder comes second
    QCOMPARE(dialog->File1->path(), QDir::homePath());
    QTest::keyClick(dialog->Drive1, Qt::Key_Home);
    QCOMPARE(dialog->Dir1->path(), u"/"_s);
    QCOMPARE(dialog->File1->path(), u"/"_s);
    closeByWindowButton(&shown.window);
    QTRY_VERIFY(!dialog);
}

void ImportTest::drivesAreThePlacesAPersonKeepsFilesIn() {
    TempLibrary lib; // its folders stand in for mount points
    lib.write(u"Journal/Acta.txt", "");
    const QString disk = lib.path(u"IF");
    const QString stick = lib.path(u"Journal");
    const QList<MountedVolume> mounted{{u"/"_s, "ext4", {}, true},
                                       {u"/proc"_s, "proc", {}, true},
                                       {u"/sys/fs/cgroup"_s, "cgroup2", {}, true},
                                       {u"/run/user/0"_s, "tmpfs", {}, true},
                                       {u"/dev/shm"_s, "tmpfs", {}, true},
                                       {u"/snap/core/1"_s, "squashfs", {}, true},
                                       {lib.path(u"Notes"), "overlay", {}, true},
                                       {lib.path(u"Homepage"), "tmpfs", {}, true},
                                       {lib.path(u"Journal/Acta.txt"), "ext4", {}, true},
                                       {lib.path(u"Example"), "vfat", {}, false},
                                       {stick, "vfat", u"STICK"_s, true},
                                       {disk, "ext4", {}, true}};
    QStringList shown;
    for (const Drive &drive : drivesToPick(PosixFileSystem(), lib.appDir(), mounted))
        shown << drive.root + u" = "_s + drive.text;
    QCOMPARE(shown,
             (QStringList{u"/ = / [根文件夹 Root folder]"_s,
                          lib.appDir() + u" = "_s + lib.appDir() + u" [主文件夹 Home folder]"_s,
                          disk + u" = "_s + disk + u" [IF]"_s, stick + u" = "_s + stick + u" [STICK]"_s}));
}

QTEST_MAIN(ImportTest)
#include "tst_import.moc"
