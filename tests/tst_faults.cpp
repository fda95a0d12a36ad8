// A flaky disk and a power cut, over one table of operations. Each is run
// once with each of its file-system calls failing in turn: the person was
// told in one report, the library is what it was (or, for a deletion, only
// files of the journal or article being deleted are gone), and the window
// answers the next click. Each is run again in a child process that dies at
// its nth call, for every n, in the middle of a copy or a write where that
// call is one: a fresh start then shows the library as it was before the
// step or as it is after it (or, for a deletion, with what was not yet
// deleted still there), shows and counts no scratch file, and leaves none
// behind once it has cleaned up.
#include "support/WindowDriver.h"

#include <QtTest>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int kFinished = 78; // the child's exit when the step ended before the call it was to die in

// Cell (complete, two articles), Nature (no IF or notes file, no example
// folder), Zeta; beside the library a file larger than a piece of a copy
// waits to be imported, and three files of the blank-name journal to be
// purged, one at each start or Refresh.
void makeLibrary(const TempLibrary &lib) {
    for (const QStringView name : {u"Cell", u"Nature", u"Zeta"})
        lib.addJournal(name);
    lib.remove(u"IF/Nature.txt");
    lib.remove(u"Notes/Nature.txt");
    lib.write(u"IF/Cell.txt", "\"41.5\"\r\n");
    lib.write(u"Example/Cell/a.pdf", "a");
    lib.write(u"Example/Cell/b.pdf", "b");
    lib.makeFolder(u"Example/Zeta");
    lib.write(u"Outside/big.pdf", QByteArray(5 << 20, 'x'));
    for (const QStringView blank : {u"Journal/.txt", u"IF/.txt", u"Notes/.txt"})
        lib.write(blank, {});
}

struct Operation {
    QList<Step> before; // done without faults
    Step act;           // done with the nth call failing, or until the process dies
    QString own = {};   // what it deletes: the entries whose paths hold this; none for the rest
};

// The window started on a fresh library, with the steps before the operation taken.
ShownWindow &prepared(Session &s, const Operation &operation) {
    makeLibrary(s.lib);
    ShownWindow &shown = s.start();
    shown.seams.prompt.answers << u"Cortex"_s; // the name added, or the new name
    for (const Step &step : operation.before)
        step(s);
    return shown;
}

// Runs the operation in a child over a fresh library: the child dies at
// call `crashAt` of the step (-1: never; -2: the step is not done at all).
// True when the child died there, false when the step ended first.
bool runInChild(Session &s, const Operation &operation, int crashAt) {
    const pid_t child = ::fork();
    if (child == 0) {
        ShownWindow &shown = prepared(s, operation);
        if (crashAt != -2) {
            shown.seams.fs.crashAtCall(crashAt);
            operation.act(s);
        }
        ::_exit(kFinished);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        qFatal("the child ended with signal %d", WTERMSIG(status));
    return WEXITSTATUS(status) == FaultyFileSystem::kCrashed;
}

// The library after a fresh start on what the child left, and a person
// looking at every journal (which gives one that lacks a record file its
// default). The window showed what a full scan finds, so it listed and
// counted no scratch file, and none is left after the start's clean-up.
Snapshot afterFreshStart(Session &s) {
    ShownWindow &shown = s.start();
    QCoreApplication::processEvents(); // the clean-up once the window is up
    if (libraryShown(shown) != libraryOnDisk(s.lib.appDir()))
        qFatal("the window shows another library than the disk holds");
    for (const QString &journal : shown.ui.List1->items())
        clickRow(shown.ui.List1, rowShowing(shown.ui.List1, journal));
    const Snapshot disk = s.lib.snapshot();
    for (auto entry = disk.keyBegin(); entry != disk.keyEnd(); ++entry) {
        if (entry->contains(u".varnotel-"_s))
            qFatal("a scratch file left behind: %s", qPrintable(*entry));
    }
    return disk;
}

// Every entry of `part` is in `whole`, as it is there.
bool within(const Snapshot &part, const Snapshot &whole) {
    const TreeChange change = changeBetween(part, whole);
    return change.gone.isEmpty() && change.changed.isEmpty();
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void everyCallOfEveryOperationMayFail_data() { operations(); }
    void everyCallOfEveryOperationMayFail();
    void everyStepSurvivesAPowerCut_data() { operations(); }
    void everyStepSurvivesAPowerCut();
    void aReadOnlyOrFullDiskChangesNothing_data();
    void aReadOnlyOrFullDiskChangesNothing();

private:
    static void operations();
};

void FaultsTest::operations() {
    QTest::addColumn<Operation>("operation");
    const Step cell = clicking(&MainControls::List1, u"Cell"_s),
               article = clicking(&MainControls::List3, u"a.pdf"_s);
    const Step notesGone = [](Session &s) { s.lib.remove(u"Notes/Cell.txt"); };
    const Step drop = [](Session &s) { dropFiles(s.ui().List3, {s.lib.path(u"Outside/big.pdf")}); };
    const Step startAgain = [](Session &s) { Form1(s.lib.appDir(), s.seams().platform()).Form_Load(); };
    const QString a = u"Example/Cell/a.pdf"_s;
    QTest::newRow("add") << Operation{{}, pressing(&MainControls::Command7)};
    QTest::newRow("rename") << Operation{{cell}, pressing(&MainControls::Command4)};
    QTest::newRow("delete with the button")
        << Operation{{cell}, pressing(&MainControls::Command11), u"Cell"_s};
    QTest::newRow("delete with D") << Operation{{cell}, typing(&MainControls::List1, u"D"_s), u"Cell"_s};
    // These make what a journal lacks; cut short, the next look makes the rest.
    QTest::newRow("select a journal") << Operation{{}, clicking(&MainControls::List1, u"Nature"_s)};
    QTest::newRow("edit a field") << Operation{{cell, notesGone}, pressing(&MainControls::Command1)};
    QTest::newRow("import") << Operation{{cell}, drop};
    QTest::newRow("delete an article with the button")
        << Operation{{cell, article}, pressing(&MainControls::Command9), a};
    QTest::newRow("delete an article with D")
        << Operation{{cell, article}, typing(&MainControls::List3, u"D"_s), a};
    QTest::newRow("the purge at start-up") << Operation{{}, startAgain};
    QTest::newRow("Refresh") << Operation{{}, pressing(&MainControls::Command10)};
}

void FaultsTest::everyCallOfEveryOperationMayFail() {
    QFETCH(Operation, operation);
    int calls = 0;
    for (int failing = -1; failing < calls; ++failing) {
        Session s; // a fresh trash each run, so that each run makes the same calls
        ShownWindow &shown = prepared(s, operation);
        const Snapshot before = s.lib.snapshot();
        const int start = shown.seams.fs.allCalls();
        shown.seams.fs.failCall(failing);
        operation.act(s);
        shown.seams.fs.failCall(-1);
        if (failing < 0) { // the run without a fault counts the calls
            calls = shown.seams.fs.allCalls() - start;
            continue;
        }
        const auto where = qScopeGuard([&] {
            if (QTest::currentTestFailed())
                qWarning("with call %d of %d failing", failing + 1, calls);
        });
        QCOMPARE(shown.seams.errors.kinds().size(), 1);
        // What the operation deletes may be gone, but nothing is changed or made.
        TreeChange change = changeBetween(before, s.lib.snapshot());
        change.gone.removeIf(
            [&](const QString &entry) { return !operation.own.isEmpty() && entry.contains(operation.own); });
        QCOMPARE(change, TreeChange());
        // The window answers the next click as usual.
        clickRow(shown.ui.List1, rowShowing(shown.ui.List1, u"Zeta"_s));
        QCOMPARE(shown.ui.Text4->text(), u"\"Zeta:\"\r\n"_s);
    }
    QVERIFY(calls > 0);
}

void FaultsTest::everyStepSurvivesAPowerCut() {
    QFETCH(Operation, operation);
    Snapshot before, after;
    {
        Session s;
        runInChild(s, operation, -2);
        before = afterFreshStart(s);
    }
    {
        Session s;
        QVERIFY(!runInChild(s, operation, -1));
        after = afterFreshStart(s);
    }
    int crashes = 0;
    for (int n = 0;; ++n) {
        Session s;
        if (!runInChild(s, operation, n))
            break;
        ++crashes;
        const Snapshot disk = afterFreshStart(s);
        const bool partlyDeleted = !operation.own.isEmpty() && within(after, disk) && within(disk, before);
        if (disk != before && disk != after && !partlyDeleted) {
            qWarning("dying at call %d", n + 1);
            QCOMPARE(changeBetween(before, disk), changeBetween(before, after));
        }
    }
    QVERIFY(crashes > 0);
}

void FaultsTest::aReadOnlyOrFullDiskChangesNothing_data() {
    QTest::addColumn<bool>("readOnly"); // else full
    QTest::addColumn<Kinds>("told");
    // On the read-only disk the purge at start, which a full one allows;
    // add; a click on Nature, whose IF and notes files (and on the read-only
    // disk its example folder) cannot be made; an import into that folder;
    // and on the read-only disk a rename.
    using enum FailureKind;
    const QList<FailureKind> clickNature{CannotCreate, CannotCreate, CannotCreate};
    QTest::newRow("read-only")
        << true << Kinds{{CannotDelete}, {CannotCreate}, clickNature, {FolderMissing}, {CannotRename}};
    QTest::newRow("full") << false << Kinds{{CannotCreate}, {CannotCreate, CannotCreate}, {FolderMissing}};
}

// A real disk, not an injected fault: the library on a small tmpfs of its
// own, mounted read-only or filled up (tests run as root, whom permissions
// do not stop, but a read-only mount does). The trash is on another disk.
void FaultsTest::aReadOnlyOrFullDiskChangesNothing() {
    QFETCH(bool, readOnly);
    QFETCH(Kinds, told);
    Session s;
    const QByteArray root = QFile::encodeName(s.lib.appDir());
    if (::mount("tmpfs", root.constData(), "tmpfs", 0, "size=8m") != 0)
        QSKIP("this machine does not let the test mount a tmpfs");
    const auto unmount = qScopeGuard([&] { ::umount2(root.constData(), MNT_DETACH); });
    for (const QStringView folder : {u"Journal", u"IF", u"Homepage", u"Notes", u"Example", u"BGM"})
        s.lib.makeFolder(folder);
    makeLibrary(s.lib);
    if (readOnly) {
        QCOMPARE(::mount(nullptr, root.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    } else {
        QFile filler(s.lib.path(u"Outside/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
    }
    ShownWindow &shown = s.start();
    const Snapshot before = s.lib.snapshot();
    shown.seams.prompt.answers << u"Bio"_s << u"Cortex"_s;
    click(shown.ui.Command7);
    clickRow(shown.ui.List1, rowShowing(shown.ui.List1, u"Nature"_s));
    dropFiles(shown.ui.List3, {s.lib.path(u"Outside/big.pdf")});
    if (readOnly) {
        clickRow(shown.ui.List1, rowShowing(shown.ui.List1, u"Cell"_s));
        click(shown.ui.Command4);
    }
    QCOMPARE(changeBetween(before, s.lib.snapshot()), TreeChange());
    QCOMPARE(shown.seams.errors.kinds(), told);
}

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
