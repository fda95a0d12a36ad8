// A flaky disk: every operation is run once with each of its file-system
// calls failing in turn. After each fault the user was told in one bilingual
// message, the library is what it was (or, for a deletion, only files of the
// journal or article being deleted are gone), and the window answers the next
// click.
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
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

using Step = std::function<void(ShownWindow &, const TempLibrary &)>;

// When one of its calls fails, an operation leaves the library as it was,
// but for files of what it deletes.
struct Operation {
    Step before;      // done without faults
    Step act;         // done with the nth call failing
    QString own = {}; // what it deletes: the files at or below this path (relative); none for the rest
};

void select(ShownWindow &s, int row) { clickRow(s.window.List1, row); }

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

QMap<QString, QByteArray> snapshot(const TempLibrary &lib) {
    QMap<QString, QByteArray> all = lib.files(u"");
    for (const QString &entry : lib.tree())
        if (entry.endsWith(u'/'))
            all.insert(entry, {});
    return all;
}

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
    const Step nothing = [](ShownWindow &, const TempLibrary &) {};
    const auto selecting = [](int row) {
        return [row](ShownWindow &s, const TempLibrary &) { select(s, row); };
    };
    const Step selectArticle = [](ShownWindow &s, const TempLibrary &) {
        select(s, 0);
        clickRow(s.window.List3, 0);
    };
    const auto press = [](QPushButton *Form1::*button) {
        return [button](ShownWindow &s, const TempLibrary &) { click(s.window.*button); };
    };
    const auto typeD = [](ListBox *Form1::*list) {
        return [list](ShownWindow &s, const TempLibrary &) { QTest::keyClick(s.window.*list, Qt::Key_D); };
    };
    const auto answer = [](const QString &text, QPushButton *Form1::*button) {
        return [=](ShownWindow &s, const TempLibrary &) {
            s.seams.prompt.answers << text;
            click(s.window.*button);
        };
    };
    const auto writing = [](const char *file) {
        return [file](ShownWindow &, const TempLibrary &lib) {
            lib.write(QString::fromLatin1(file), "\"\"\r\n");
        };
    };
    const Step selectCellWithoutNotes = [](ShownWindow &s, const TempLibrary &lib) {
        select(s, 0);
        lib.remove(u"Notes/Cell.txt");
    };
    const Step drop = [](ShownWindow &s, const TempLibrary &lib) {
        dropFiles(s.window.List3, {lib.path(u"Outside/dropped.pdf")});
    };
    const Step startAgain = [](ShownWindow &s, const TempLibrary &lib) {
        Form1 again(lib.appDir(), s.seams.platform());
        again.Form_Load();
    };
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
    QTest::newRow("the purge at start-up") << Operation{writing("Journal/.txt"), startAgain};
    QTest::newRow("Refresh") << Operation{writing("IF/.txt"), press(&Form1::Command10)};
}

void FaultsTest::everyCallOfEveryOperationMayFail() {
    QFETCH(Operation, operation);
    int calls = 0;
    for (int failing = -1; failing < calls; ++failing) {
        TempLibrary lib;
        QTemporaryDir dataHome; // a fresh trash: each run makes the same calls
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        makeLibrary(lib);
        ShownWindow shown(lib.appDir());
        operation.before(shown, lib);
        const QMap<QString, QByteArray> before = snapshot(lib);
        const qsizetype told = shown.seams.errors.messages.size();
        const int start = shown.seams.fs.allCalls();
        shown.seams.fs.failCall(failing);
        operation.act(shown, lib);
        shown.seams.fs.failCall(-1);
        if (failing < 0) { // the run without a fault counts the calls
            calls = shown.seams.fs.allCalls() - start;
            continue;
        }
        const QString at = u"call %1 of %2"_s.arg(failing + 1).arg(calls);
        const QStringList messages = shown.seams.errors.messages.mid(told);
        QVERIFY2(unexpectedIn(messages, 1).isEmpty(), qPrintable(at + u": "_s + unexpectedIn(messages, 1)));
        const QMap<QString, QByteArray> after = snapshot(lib);
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const bool own = !operation.own.isEmpty() && it.key().contains(operation.own);
            if (!own || after.contains(it.key()))
                QVERIFY2(after.value(it.key(), "<gone>") == it.value(), qPrintable(at + u": "_s + it.key()));
        }
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            QVERIFY2(before.contains(it.key()), qPrintable(at + u": made "_s + it.key()));
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
    const QMap<QString, QByteArray> before = snapshot(lib);
    shown.seams.prompt.answers << u"Bio"_s << u"Cortex"_s;
    click(shown.window.Command7);                                      // add
    select(shown, 1);                                                  // defaults for Nature
    dropFiles(shown.window.List3, {lib.path(u"Outside/dropped.pdf")}); // import
    if (readOnly) {                                                    // a full disk still renames
        select(shown, 0);
        click(shown.window.Command4);
    }
    QCOMPARE(snapshot(lib), before);
    QCOMPARE(shown.seams.errors.messages.size(), readOnly ? 4 : 3);
    for (const QString &message : shown.seams.errors.messages)
        QVERIFY2(isBilingual(message), qPrintable(message));
}

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
