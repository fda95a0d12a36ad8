// A flaky disk: every operation is run once with each of its file-system
// calls failing in turn. After each fault the user was told in one bilingual
// message, the library is what it was (or, for a deletion, only files of the
// journal or article being deleted are gone), and the window answers the next
// click.
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QPushButton>
#include <QtTest>

#include <functional>
#include <sys/mount.h>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

// Cell (complete, two articles), Nature (no IF or notes file, no example
// folder), Zeta; a blank-name journal file and IF file wait to be purged.
void makeLibrary(const TempLibrary &lib) {
    for (const QStringView name : {u"Cell", u"Nature", u"Zeta"})
        lib.addJournal(name);
    lib.remove(u"IF/Nature.txt");
    lib.remove(u"Notes/Nature.txt");
    lib.write(u"Example/Cell/a.pdf", "a");
    lib.write(u"Example/Cell/b.pdf", "b");
    lib.makeFolder(u"Example/Zeta");
    lib.write(u"Outside/dropped.pdf", "new");
}

// Every folder, and every file with its bytes, one entry each.
QStringList snapshot(const TempLibrary &lib) {
    QStringList all = lib.tree();
    for (QString &entry : all)
        if (!entry.endsWith(u'/'))
            entry += u" holds "_s + QString::fromLatin1(lib.read(entry).toPercentEncoding());
    return all;
}

// The library, with a fresh trash so that each run makes the same calls.
struct Library {
    Library() {
        makeLibrary(lib);
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    }
    TempLibrary lib;
    QTemporaryDir dataHome;
};

// The window shown on it.
struct Session : Library {
    ShownWindow shown{lib.appDir()};
    Form1 &w = shown.window;
};

using Step = std::function<void(Session &)>;

// When one of its calls fails, an operation leaves the library as it was,
// but for files of what it deletes.
struct Operation {
    Step before;      // done without faults
    Step act;         // done with the nth call failing
    QString own = {}; // what it deletes: the files at or below this path (relative); none for the rest
};

} // namespace

Q_DECLARE_METATYPE(Operation)

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void everyCallOfEveryOperationMayFail_data();
    void everyCallOfEveryOperationMayFail();
    void aReadOnlyOrFullDiskChangesNothing_data();
    void aReadOnlyOrFullDiskChangesNothing();
};

void FaultsTest::everyCallOfEveryOperationMayFail_data() {
    QTest::addColumn<Operation>("operation");
    const Step nothing = [](Session &) {};
    const auto selecting = [](int row) { return [row](Session &s) { clickRow(s.w.List1, row); }; };
    const Step selectArticle = [](Session &s) {
        clickRow(s.w.List1, 0);
        clickRow(s.w.List3, 0);
    };
    const auto press = [](QPushButton *Form1::*button) {
        return [button](Session &s) { click(s.w.*button); };
    };
    const auto typeD = [](ListBox *Form1::*list) {
        return [list](Session &s) { QTest::keyClick(s.w.*list, Qt::Key_D); };
    };
    const auto answer = [](const QString &text, QPushButton *Form1::*button) {
        return [=](Session &s) {
            s.shown.seams.prompt.answers << text;
            click(s.w.*button);
        };
    };
    const auto writing = [](QStringView file) {
        return [file](Session &s) { s.lib.write(file, quoted({})); };
    };
    const Step selectCellWithoutNotes = [](Session &s) {
        clickRow(s.w.List1, 0);
        s.lib.remove(u"Notes/Cell.txt");
    };
    const Step drop = [](Session &s) { dropFiles(s.w.List3, {s.lib.path(u"Outside/dropped.pdf")}); };
    const Step startAgain = [](Session &s) { Form1(s.lib.appDir(), s.shown.seams.platform()).Form_Load(); };
    const QString cell = u"Cell"_s, article = u"Example/Cell/a.pdf"_s;
    QTest::newRow("add") << Operation{nothing, answer(u"Bio"_s, &Form1::Command7)};
    QTest::newRow("rename") << Operation{selecting(0), answer(u"Cortex"_s, &Form1::Command4)};
    QTest::newRow("delete with the button") << Operation{selecting(0), press(&Form1::Command11), cell};
    QTest::newRow("delete with D") << Operation{selecting(0), typeD(&Form1::List1), cell};
    QTest::newRow("select a journal") << Operation{nothing, selecting(1)};
    QTest::newRow("edit a field") << Operation{selectCellWithoutNotes, press(&Form1::Command1)};
    QTest::newRow("import") << Operation{selecting(0), drop};
    QTest::newRow("delete an article with the button")
        << Operation{selectArticle, press(&Form1::Command9), article};
    QTest::newRow("delete an article with D") << Operation{selectArticle, typeD(&Form1::List3), article};
    QTest::newRow("the purge at start-up") << Operation{writing(u"Journal/.txt"), startAgain};
    QTest::newRow("Refresh") << Operation{writing(u"IF/.txt"), press(&Form1::Command10)};
}

void FaultsTest::everyCallOfEveryOperationMayFail() {
    QFETCH(Operation, operation);
    int calls = 0;
    for (int failing = -1; failing < calls; ++failing) {
        Session session;
        ShownWindow &shown = session.shown;
        operation.before(session);
        const QStringList before = snapshot(session.lib);
        const qsizetype told = shown.seams.errors.messages.size();
        const int start = shown.seams.fs.allCalls();
        shown.seams.fs.failCall(failing);
        operation.act(session);
        shown.seams.fs.failCall(-1);
        if (failing < 0) { // the run without a fault counts the calls
            calls = shown.seams.fs.allCalls() - start;
            continue;
        }
        const QString at = u"call %1 of %2: "_s.arg(failing + 1).arg(calls);
        const QStringList messages = shown.seams.errors.messages.mid(told);
        QCOMPARE(at + unexpectedIn(messages, 1), at);
        // What the operation deletes may be gone, but nothing is changed or made.
        const QStringList after = snapshot(session.lib);
        for (const QString &entry : before)
            QVERIFY2(after.contains(entry) || (!operation.own.isEmpty() && entry.contains(operation.own)),
                     qPrintable(at + u"lost "_s + entry));
        for (const QString &entry : after)
            QVERIFY2(before.contains(entry), qPrintable(at + u"made "_s + entry));
        // The window answers the next click as usual.
        const qsizetype zeta = shown.window.List1->items().indexOf(u"Zeta"_s);
        QVERIFY2(zeta >= 0, qPrintable(at));
        clickRow(shown.window.List1, zeta);
        QCOMPARE(shown.window.Text4->text(), u"\"Zeta:\"\r\n"_s);
    }
    QVERIFY(calls > 0);
}

void FaultsTest::aReadOnlyOrFullDiskChangesNothing_data() {
    QTest::addColumn<bool>("readOnly"); // else full
    QTest::newRow("read-only") << true;
    QTest::newRow("full") << false;
}

// A real disk, not an injected fault: the library on a small tmpfs of its
// own, mounted read-only or filled up (tests run as root, whom permissions
// do not stop, but a read-only mount does).
void FaultsTest::aReadOnlyOrFullDiskChangesNothing() {
    QFETCH(bool, readOnly);
    TempLibrary lib(false);
    const QByteArray root = QFile::encodeName(lib.appDir());
    if (::mount("tmpfs", root.constData(), "tmpfs", 0, "size=256k") != 0)
        QSKIP("this machine does not let the test mount a tmpfs");
    const auto unmount = qScopeGuard([&] { ::umount2(root.constData(), MNT_DETACH); });
    for (const QStringView folder : {u"Journal", u"IF", u"Homepage", u"Notes", u"Example", u"BGM"})
        lib.makeFolder(folder);
    makeLibrary(lib);
    QTemporaryDir dataHome; // the home trash is on another disk, and the tmpfs has room for none
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    if (readOnly) {
        QCOMPARE(::mount(nullptr, root.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    } else {
        QFile filler(lib.path(u"Outside/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
    }
    ShownWindow shown(lib.appDir());
    const QStringList before = snapshot(lib);
    shown.seams.prompt.answers << u"Bio"_s << u"Cortex"_s;
    click(shown.window.Command7);                                      // add
    clickRow(shown.window.List1, 1);                                   // defaults for Nature
    dropFiles(shown.window.List3, {lib.path(u"Outside/dropped.pdf")}); // import
    if (readOnly) {                                                    // a full disk still renames
        clickRow(shown.window.List1, 0);
        click(shown.window.Command4);
    }
    QCOMPARE(snapshot(lib), before);
    QCOMPARE(shown.seams.errors.messages.size(), readOnly ? 4 : 3);
    for (const QString &message : shown.seams.errors.messages)
        QVERIFY2(isBilingual(message), qPrintable(message));
}

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
