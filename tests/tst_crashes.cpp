// A power cut: every operation that changes the library is run in a child
// process that dies at its nth file-system call, for every n, in the middle
// of a copy or a write where that call is one. A fresh start then shows the
// library as it was before the step or as it is after it (or, for a
// deletion, with what was not yet deleted still there), shows and counts no
// scratch file, and leaves none behind once it has cleaned up.
#include "support/WindowDriver.h"

#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int kFinished = 78; // the child's exit when the step ended before the call it was to die in

// Cell (complete, two articles), Nature (no IF or notes file), Zeta; beside
// the library a file larger than a piece of a copy waits to be imported.
void makeLibrary(const TempLibrary &lib) {
    for (const QStringView name : {u"Cell", u"Nature", u"Zeta"})
        lib.addJournal(name);
    lib.remove(u"IF/Nature.txt");
    lib.remove(u"Notes/Nature.txt");
    lib.write(u"IF/Cell.txt", "\"41.5\"\r\n");
    lib.write(u"Example/Cell/a.pdf", "a");
    lib.write(u"Example/Cell/b.pdf", "b");
    lib.write(u"Outside/big.pdf", QByteArray(5 << 20, 'x'));
}

struct Operation {
    QList<Step> before;   // done in the child before the count starts
    Step act;             // done until the child dies
    bool deletes = false; // it may have deleted part of what it deletes
};

// Runs the operation in a child over a fresh library: the child dies at
// call `crashAt` of the step (-1: never; -2: the step is not done at all).
// True when the child died there, false when the step ended first.
bool runInChild(Session &s, const Operation &operation, int crashAt) {
    makeLibrary(s.lib);
    const pid_t child = ::fork();
    if (child == 0) {
        ShownWindow &shown = s.start();
        shown.seams.prompt.answers << u"Cortex"_s;
        for (const Step &step : operation.before)
            step(s);
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
    for (auto entry = part.cbegin(); entry != part.cend(); ++entry) {
        if (!whole.contains(entry.key()) || whole.value(entry.key()) != entry.value())
            return false;
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class CrashesTest : public QObject {
    Q_OBJECT
private slots:
    void everyStepSurvivesAPowerCut_data();
    void everyStepSurvivesAPowerCut();
};

void CrashesTest::everyStepSurvivesAPowerCut_data() {
    QTest::addColumn<Operation>("operation");
    const Step cell = clicking(&MainControls::List1, u"Cell"_s),
               article = clicking(&MainControls::List3, u"a.pdf"_s);
    const Step drop = [](Session &s) { dropFiles(s.ui().List3, {s.lib.path(u"Outside/big.pdf")}); };
    const Step notesGone = [](Session &s) { s.lib.remove(u"Notes/Cell.txt"); };
    const Step twoBlank = [](Session &s) {
        s.lib.write(u"Journal/.txt", {});
        s.lib.write(u"IF/.txt", {});
    };
    QTest::newRow("add") << Operation{{}, pressing(&MainControls::Command7)};
    QTest::newRow("rename") << Operation{{cell}, pressing(&MainControls::Command4)};
    QTest::newRow("delete a journal") << Operation{{cell}, pressing(&MainControls::Command11), true};
    QTest::newRow("import") << Operation{{cell}, drop};
    QTest::newRow("delete an article") << Operation{{cell, article}, pressing(&MainControls::Command9), true};
    // These make what a journal lacks; cut short, the next look makes the rest.
    QTest::newRow("select a journal that lacks files")
        << Operation{{}, clicking(&MainControls::List1, u"Nature"_s)};
    QTest::newRow("edit a missing field") << Operation{{cell, notesGone}, pressing(&MainControls::Command1)};
    // Two blank-name files: Refresh moves one to the trash, the fresh start the other.
    QTest::newRow("the purge at Refresh") << Operation{{twoBlank}, pressing(&MainControls::Command10), true};
}

void CrashesTest::everyStepSurvivesAPowerCut() {
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
        const bool partlyDeleted = operation.deletes && within(after, disk) && within(disk, before);
        if (disk != before && disk != after && !partlyDeleted) {
            qWarning("dying at call %d", n + 1);
            QCOMPARE(changeBetween(before, disk), changeBetween(before, after));
        }
    }
    QVERIFY(crashes > 0);
}

QTEST_MAIN(CrashesTest)
#include "tst_crashes.moc"
