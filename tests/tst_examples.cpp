// Example articles: importing them through the dialog's drive, folder and file
// lists or by dropping files on the example list, and opening and deleting
// them from that list with the mouse, the delete button and the list's keys.
#include "examples/Drives.h"
#include "library/Statistics.h"
#include "platform/FileNames.h"
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include <QComboBox>
#include <QtTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;
using Files = QMap<QString, QByteArray>;
using K = FailureKind;

namespace {

const QString kB = u"b.pdf"_s, kPaper = u"paper.pdf"_s, kX = u"x.pdf"_s, kTop = u"Acta/paper.pdf"_s,
              kB2 = u"Acta/b.pdf"_s, kSub = u"Acta/sub/paper.pdf"_s, kC = u"Cell/c.pdf"_s;
// Acta's list: x.pdf lies in a linked folder outside the library, the second
// paper.pdf in the subfolder sub.
const QStringList kActa{kB, kPaper, kX, kPaper};
// The journals Acta, Cell and the blank entry; their articles; beside the
// program the person's Papers: notes.txt, paper.pdf "new" and a folder sub.
const Files kLibrary{{u"Journal/Acta.txt"_s, ""},      {u"Journal/Cell.txt"_s, ""},
                     {u"Journal/blank/.txt"_s, ""},    {u"Example/Acta/paper.pdf"_s, "old"},
                     {u"Example/Acta/b.pdf"_s, "b"},   {u"Example/Acta/sub/paper.pdf"_s, "sub"},
                     {u"Example/Cell/c.pdf"_s, "c"},   {u"Linked/x.pdf"_s, "x"},
                     {u"Papers/notes.txt"_s, "notes"}, {u"Papers/paper.pdf"_s, "new"},
                     {u"Papers/sub/s.txt"_s, "s"}};

QWidgetList importDialogs() {
    QWidgetList shown = QApplication::topLevelWidgets();
    shown.removeIf([](const QWidget *w) { return w->objectName() != u"Form3"_s || !w->isVisible(); });
    return shown;
}
// A control of the import dialog on the screen, or else of the main window.
template <typename T = QAbstractItemView> T *named(Session &s, const char *name) {
    const QWidgetList dialogs = importDialogs();
    if (dialogs.size() > 1)
        qFatal("two import dialogs on the screen");
    T *inDialog = dialogs.isEmpty() ? nullptr : dialogs.first()->findChild<T *>(QLatin1String(name));
    return inDialog ? inDialog : childNamed<T>(s.shown->window, name);
}

// A row, by its number or its text, of a named list.
Step on(const char *list, const QVariant &row, void (*pick)(QAbstractItemView *, qsizetype) = clickRow) {
    return [=](Session &s) {
        QAbstractItemView *view = named(s, list);
        pick(view, row.typeId() == QMetaType::QString ? rowShowing(view, row.toString()) : row.toInt());
    };
}
Step press(const char *button) {
    return [=](Session &s) { click(named<QPushButton>(s, button)); };
}
// A letter, or a key such as an arrow.
Step key(const char *control, int code) {
    return [=](Session &s) {
        QWidget *widget = named<QWidget>(s, control);
        code < 0x80 ? QTest::keyClick(widget, char(code)) : QTest::keyClick(widget, Qt::Key(code));
    };
}
// Files and folders, by their paths in the application folder (where the
// program runs) or anywhere.
Step drop(const QStringList &paths) {
    return [paths](Session &s) { dropFiles(s.ui().List3, paths); };
}
// While its message is shown, the window system hands the same click or drop over once more.
Step againWhileTold(const Step &step) {
    return [step](Session &s) { s.seams().errors.whileTelling = [&s, step] { step(s); }; };
}
const Step openDialog = press("Command8"), refresh = press("Command10"), del = press("Command9");
const Step papers = on("Dir1", u"Papers"_s, doubleClickRow), notes = on("File1", 0), paper = on("File1", 1);
const Step noDialog = [](Session &) { QVERIFY(importDialogs().isEmpty()); };
// Six pieces of 200 ms each: the progress shows, and its Cancel is pressed
// as soon as it takes the focus.
const Step slowCopyCancelled = [](Session &s) {
    s.lib.write(u"Papers/paper.pdf", QByteArray(24 << 20, 'b'));
    s.seams().fs.copyPieceMs = 200;
    QObject::connect(qApp, &QApplication::focusChanged, &s.shown->window, [](QWidget *, QWidget *now) {
        if (now && now->window()->inherits("QProgressDialog"))
            click(qobject_cast<QPushButton *>(now));
    });
};
// The folder list shows the folder.
Step showsFolder(const QVariant &folder) {
    return [=](Session &s) { QCOMPARE(named(s, "Dir1")->currentIndex().data(Qt::ToolTipRole), folder); };
}

struct Outcome {
    QList<Step> steps;
    Files came = {};       // files below Example that came or changed, with their bytes
    QStringList gone = {}; // files below Example no longer there
    QStringList list3 = kActa;
    int counted = 5; // articles the statistics lines count
    Kinds told = {};
    QString tooltip = {};
    QStringList trashed = {}; // the names in the trash
    QStringList opened = {};  // files below Example handed to the opener, one start each
};

} // namespace

Q_DECLARE_METATYPE(Outcome)

class ExamplesTest : public QObject {
    Q_OBJECT
private slots:
    void theExampleFolderHoldsWhatThePersonDid_data() {
        QTest::addColumn<Outcome>("expected");
        // Removed behind the program's back.
        const Step actaGone = [](Session &s) { s.lib.remove(u"Example/Acta"); };
        const Step bGone = [](Session &s) { s.lib.remove(u"Example/Acta/b.pdf"); };
        const Step cGone = [](Session &s) { s.lib.remove(u"Example/Cell/c.pdf"); };
        // Recounted on closing, Acta's list is empty; the add button makes the folder again.
        QTest::newRow("the folder gone, the window closed")
            << Outcome({openDialog, papers, actaGone, againWhileTold(notes), notes,
                        [](Session &) { importDialogs().first()->close(); }, openDialog, papers, notes},
                       {{u"Acta/notes.txt"_s, "notes"}}, {kTop, kB2, kSub}, {}, 1, {{K::FolderMissing}});
        // Another window renamed Acta: its folder, still there, belongs to no journal.
        const Step actaRenamed = [](Session &s) { s.lib.remove(u"Journal/Acta.txt"); };
        QTest::newRow("the journal gone elsewhere")
            << Outcome({openDialog, papers, actaRenamed, notes, drop({u"Papers/notes.txt"_s})}, {}, {}, kActa,
                       5, {{K::JournalGone}, {K::JournalGone}});
        // The add button again lists Cell's folder afresh and finds the dialog
        // open; a click on the file selected imports it again.
        const Step framesShow = [](Session &s) {
            for (const char *list : {"Drive1", "Dir1", "File1"})
                QVERIFY2(frameUncovered(named<QWidget>(s, list)), list);
        };
        QTest::newRow("a click, an arrow key, another journal") << Outcome(
            {openDialog, framesShow, papers, notes, key("File1", Qt::Key_Down), on("List1", 1), cGone,
             openDialog, paper},
            {{u"Acta/notes.txt"_s, "notes"}, {kTop, "new"}, {u"Cell/paper.pdf"_s, "new"}}, {kC}, {});
        QTest::newRow("a copy cancelled, a file onto itself")
            << Outcome({openDialog, papers, slowCopyCancelled, paper, drop({u"Example/Acta/paper.pdf"_s})});
        // Exit recounts: without a journal the list shows all of Example.
        QTest::newRow("the blank entry, no journal selected, Exit")
            << Outcome({on("List1", 2), openDialog, noDialog, refresh, openDialog, noDialog, on("List1", 0),
                        openDialog, papers, refresh, notes, press("Command1")},
                       {}, {}, kActa + QStringList{u"c.pdf"_s}, 5,
                       {{K::NoExampleFolder}, {K::NothingSelected}, {K::NothingSelected}});
        // Opened on a folder of the home folder, the dialog shows that drive.
        const Step inHome = [](Session &) { QDir::setCurrent(QDir::homePath()); };
        const Step onHomeDrive = [](Session &s) {
            QVERIFY(named<QComboBox>(s, "Drive1")->currentText().endsWith(u"[主文件夹 Home folder]"_s));
        };
        QTest::newRow("the drives followed, the main window closed")
            << Outcome({inHome, openDialog, onHomeDrive, key("Drive1", Qt::Key_Home), showsFolder(u"/"_s),
                        key("Drive1", Qt::Key_Down), showsFolder(QDir::homePath()),
                        [](Session &s) { s.shown->window.close(); }, noDialog});
        // The kernel copies no pseudo file: its size says 0, and only reading finds the text.
        QFile version(u"/proc/version"_s);
        QVERIFY(version.open(QIODevice::ReadOnly));
        const Step dropped =
            drop({u"Papers/notes.txt"_s, u"Papers/paper.pdf"_s, u"Papers/sub"_s, u"/proc/version"_s});
        QTest::newRow("files and a folder dropped") << Outcome(
            {againWhileTold(dropped), dropped},
            {{u"Acta/notes.txt"_s, "notes"}, {kTop, "new"}, {u"Acta/version"_s, version.readAll()}}, {},
            {kB, u"notes.txt"_s, kPaper, u"version"_s, kX, kPaper}, 7, {{K::NotAFile}});

        // A file manager's drop: a comment, two files (one named in GBK bytes,
        // percent-encoded), a folder, a file gone, a web address and a file of
        // another machine. The files are imported, byte for byte; the rest is
        // named in one message.
        const QByteArray gbk("\xC6\xDA.txt");
        const Step fileManagerDrop = [gbk](Session &s) {
            const QByteArray papers =
                "file://" + QFile::encodeName(s.lib.path(u"Papers")).toPercentEncoding("/");
            ::close(::open((QFile::encodeName(s.lib.path(u"Papers/")) + gbk).constData(), O_CREAT | O_WRONLY,
                           0644));
            dropUriList(s.ui().List3, "# dropped\r\n" + papers + "/notes.txt\r\n" + papers +
                                          "/%C6%DA.txt\r\n" + papers + "/sub\r\n" + papers +
                                          "/gone.pdf\r\nhttps://a.org/b.pdf\r\n"
                                          "file://elsewhere/c.pdf\r\n");
            const QByteArray imported = QFile::encodeName(s.lib.path(u"Example/Acta/")) + gbk;
            QVERIFY(::access(imported.constData(), F_OK) == 0 && ::unlink(imported.constData()) == 0);
        };
        QTest::newRow("a file manager's drop")
            << Outcome({fileManagerDrop}, {{u"Acta/notes.txt"_s, "notes"}}, {},
                       {kB, u"notes.txt"_s, kPaper, nameFromBytes(gbk), kX, kPaper}, 7,
                       {{K::NotAFile, K::CannotCopy, K::NotAFile, K::NotAFile}});
        // A file gone meanwhile is passed over; d and D delete the very file
        // picked, in the subfolder too.
        const Step openSub = on("List3", 3, doubleClickRow), first = on("List3", 0), second = on("List3", 1);
        QTest::newRow("opened, deleted") << Outcome(
            {openSub, openSub, first, bGone, del, first, key("List3", 'D'), second, key("List3", 'd')}, {},
            {kB2, kTop, kSub}, {kX}, 2, {}, kPaper, {kPaper, u"paper.pdf.2"_s}, {kSub, kSub});
        // A d that deleted is used up: the second, with nothing selected,
        // deletes nothing and only picks the next name beginning with d.
        const Step drafts = [](Session &s) {
            s.lib.write(u"Example/Acta/d1.pdf", "d");
            s.lib.write(u"Example/Acta/d2.pdf", "d");
        };
        QTest::newRow("d, d") << Outcome(
            {drafts, on("List1", 0), on("List3", u"d1.pdf"_s), key("List3", 'd'), key("List3", 'd')},
            {{u"Acta/d2.pdf"_s, "d"}}, {}, {kB, u"d2.pdf"_s, kPaper, kX, kPaper}, 6, {}, u"d2.pdf"_s,
            {u"d1.pdf"_s});
        // Without a journal any key lists all of Example, and D deletes the very
        // file picked; an arrow key picks too.
        const Step bInUse = [](Session &s) { s.seams().fs.resist(s.lib.path(u"Example/Acta/b.pdf")); };
        QTest::newRow("nothing selected, in use, linked, no journal")
            << Outcome({del, key("List3", 'D'), bInUse, first, del, on("List3", 2), del, refresh,
                        key("List3", 'q'), on("List3", 4), key("List3", 'D'), key("List3", Qt::Key_Down)},
                       {}, {kC}, kActa, 4, {{K::NothingSelected}, {K::CannotDelete}, {K::LinkedFolder}}, kB,
                       {u"c.pdf"_s});
    }

    // The example folders hold exactly what the person imported or left, and
    // a file no import changed is the very file it was; a failed or cancelled
    // import leaves no trace of its copy. Opening and deleting reach the file
    // the person picked, by its path, and only that file; the list and the
    // statistics then show the folder as it is.
    void theExampleFolderHoldsWhatThePersonDid() {
        QFETCH(Outcome, expected);
        Session s; // started in the application folder, Acta selected
        for (auto file = kLibrary.cbegin(); file != kLibrary.cend(); ++file)
            s.lib.write(file.key(), file.value());
        QFile::link(s.lib.path(u"Linked"), s.lib.path(u"Example/Acta/linked"));
        QDir::setCurrent(s.lib.appDir());
        ShownWindow &shown = s.start();
        clickRow(shown.ui.List1, 0);
        Files example = s.lib.files(u"Example");
        const auto paperId = [&] { return PosixFileSystem().entryId(s.lib.path(u"Example/Acta/paper.pdf")); };
        const std::optional<EntryId> paper = paperId();
        for (const Step &step : expected.steps)
            step(s);

        example.removeIf([&](const auto &file) { return expected.gone.contains(file.key()); });
        example.insert(expected.came);
        QCOMPARE(s.lib.files(u"Example"), example);
        QVERIFY(example.value(kTop) != "old" || paperId() == paper);
        QCOMPARE(QDir(s.dataHome.filePath(u"Trash/files"_s)).entryList(QDir::Files), expected.trashed);
        QList<QStringList> starts;
        for (const QString &file : expected.opened)
            starts << QStringList{u"xdg-open"_s, s.lib.path(u"Example/"_s + file)};
        QCOMPARE(shown.seams.starter.starts, starts);
        QCOMPARE(shown.ui.List3->items(), expected.list3);
        QCOMPARE(shown.ui.List3->toolTip(), expected.tooltip);
        QCOMPARE(shown.ui.Surface->printedLines(), statistics(3, expected.counted));

        QCOMPARE(shown.seams.errors.kinds(), expected.told);
    }

    // The library's folders stand in for mount points: a stick by its label,
    // a disk by its folder's name; neither the system's own mounts, nor one
    // not ready, a container layer, memory or a single file, nor the root twice.
    void drivesAreThePlacesAPersonKeepsFilesIn() {
        TempLibrary lib;
        lib.write(u"Journal/Acta.txt", "");
        const auto at = [&](QStringView f, const char *type) { return MountedVolume{lib.path(f), type, {}}; };
        QList<MountedVolume> mounted{at(u"IF", "ext4"), at(u"Notes", "overlay"), at(u"Homepage", "tmpfs"),
                                     at(u"Journal/Acta.txt", "ext4")};
        mounted << MountedVolume{lib.path(u"Journal"), "vfat", u"STICK"_s}
                << MountedVolume{lib.path(u"Example"), "vfat", {}, false};
        for (const QString &root : {u"/"_s, u"/proc"_s, u"/sys/fs/cgroup"_s, u"/run/lock"_s, u"/dev/shm"_s,
                                    u"/boot"_s, u"/var/lib"_s})
            mounted << MountedVolume{root, "ext4", {}};
        QStringList shown;
        for (const Drive &drive : drivesToPick(PosixFileSystem(), lib.appDir(), mounted))
            shown << drive.text;
        QCOMPARE(shown,
                 (QStringList{u"/ [根文件夹 Root folder]"_s, lib.appDir() + u" [主文件夹 Home folder]"_s,
                              lib.path(u"IF [IF]"), lib.path(u"Journal [STICK]")}));
    }

    // A stick mounted at Cell's example folder keeps what is deleted there in
    // its own trash at its top, which is no article: not listed, not counted,
    // not in the way when the journal goes.
    void aDiskMountedInTheLibraryKeepsItsTrashApart() {
        Session s;
        s.lib.addJournal(u"Cell");
        s.lib.makeFolder(u"Example/Cell");
        const QByteArray stick = QFile::encodeName(s.lib.path(u"Example/Cell"));
        if (::mount("tmpfs", stick.constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("this machine does not let the test mount a tmpfs");
        const auto unmount = qScopeGuard([&] { ::umount2(stick.constData(), MNT_DETACH); });
        s.lib.write(u"Example/Cell/a.pdf", "a");
        s.lib.write(u"Example/Cell/b.pdf", "b");
        ShownWindow &shown = s.start();
        // Watched and settled, so that the news of the deletion names the trash made.
        QTRY_VERIFY(!shown.window.settingUpWatches());
        QTest::qWait(50);
        click(shown.ui.Command10);
        clickRow(shown.ui.List1, rowShowing(shown.ui.List1, u"Cell"_s));
        clickRow(shown.ui.List3, rowShowing(shown.ui.List3, u"a.pdf"_s));
        click(shown.ui.Command9);
        const QString trash = u"Example/Cell/.Trash-%1/"_s.arg(::getuid());
        QCOMPARE(s.lib.read(trash + u"files/a.pdf"_s), "a");
        QCOMPARE(shown.ui.List3->items(), QStringList{u"b.pdf"_s});
        QCOMPARE(libraryShown(shown), QStringList{u"Cell"_s} + statistics(1, 1));
        // The journal goes; its folder, where the stick is mounted, cannot.
        click(shown.ui.Command11);
        QCOMPARE(shown.ui.List1->items(), QStringList());
        QCOMPARE(s.lib.read(trash + u"files/b.pdf"_s), "b");
        QCOMPARE(shown.seams.errors.kinds(), Kinds{{K::CannotDelete}});
    }
};

QTEST_MAIN(ExamplesTest)
#include "tst_examples.moc"
