#include "editing/AddJournal.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "platform/DialogInputPrompt.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using Op = FaultyFileSystem::Op;

namespace {

void checkDefaults(const TempLibrary &lib, const QString &name) {
    QCOMPARE(lib.read("Journal/" + name + ".txt"), quoted(QString()));
    QCOMPARE(lib.read("IF/" + name + ".txt"), quoted(QStringLiteral("IF:")));
    QCOMPARE(lib.read("Homepage/" + name + ".txt"), quoted(QStringLiteral("http:")));
    QCOMPARE(lib.read("Notes/" + name + ".txt"), quoted(name + ":"));
}

} // namespace

class AddJournalTest : public QObject {
    Q_OBJECT
private slots:
    void createsTheFourRecordFiles_data();
    void createsTheFourRecordFiles();
    void completesAnExistingJournal();
    void refusesNamesThatCannotBeFiles_data();
    void refusesNamesThatCannotBeFiles();
    void acceptsTheLongestName();
    void undoesAHalfMadeJournal_data();
    void undoesAHalfMadeJournal();
    void neverWritesThroughWhatIsInTheWay();
    void buttonAddsAndRecounts();
    void cancelAddsNothing();
    void realDialogAddsTheTypedName();
};

void AddJournalTest::createsTheFourRecordFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Cell");
    QTest::newRow("blanks kept") << QStringLiteral("  Cell Reports ");
    QTest::newRow("Chinese") << QStringLiteral("中国科学 Science China");
    QTest::newRow("ends in .txt") << QStringLiteral("notes.txt");
}

void AddJournalTest::createsTheFourRecordFiles() {
    QFETCH(QString, name);
    TempLibrary lib;
    PosixFileSystem fs;
    const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
    QVERIFY(!outcome.failed());
    QCOMPARE(outcome.created.size(), 4);
    checkDefaults(lib, name);
    QVERIFY(!lib.exists("Example/" + name)); // made when the journal is first shown
    QCOMPARE(lib.tree().size(), 6 + 4);
}

void AddJournalTest::completesAnExistingJournal() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("IF/Nature.txt"), "\"IF: 49.96\"\r\n");
    QFile::remove(lib.path(QStringLiteral("Homepage/Nature.txt")));
    PosixFileSystem fs;
    const EditOutcome outcome = addJournal(fs, lib.appDir(), QStringLiteral("Nature"));
    QCOMPARE(outcome.created, QStringList{lib.path(QStringLiteral("Homepage/Nature.txt"))});
    QCOMPARE(lib.read(QStringLiteral("IF/Nature.txt")), QByteArray("\"IF: 49.96\"\r\n"));
    QCOMPARE(lib.read(QStringLiteral("Homepage/Nature.txt")), quoted(QStringLiteral("http:")));
}

void AddJournalTest::refusesNamesThatCannotBeFiles_data() {
    QTest::addColumn<QString>("name");
    for (const char *reserved : {"/", "\\", ":", "*", "?", "\"", "<", ">", "|"})
        QTest::newRow(reserved) << QStringLiteral("A") + QLatin1String(reserved) + QStringLiteral("B");
    QTest::newRow("tab") << QStringLiteral("A\tB");
    QTest::newRow("new line") << QStringLiteral("A\nB");
    QTest::newRow("delete") << QStringLiteral("A\x7f");
    QTest::newRow("NUL") << QString(QChar(0));
    QTest::newRow(".") << QStringLiteral(".");
    QTest::newRow("..") << QStringLiteral("..");
    QTest::newRow("256 bytes with .txt") << QString(252, QLatin1Char('x'));
    QTest::newRow("256 bytes of Chinese") << QString(84, QChar(0x671F));
}

void AddJournalTest::refusesNamesThatCannotBeFiles() {
    QFETCH(QString, name);
    TempLibrary lib;
    const QStringList before = lib.tree();
    PosixFileSystem fs;
    const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
    QCOMPARE(outcome.messages.size(), 1);
    QVERIFY(outcome.messages.first().contains(QStringLiteral("A journal name")) ||
            outcome.messages.first().contains(QStringLiteral("too long")));
    QVERIFY(outcome.created.isEmpty());
    QCOMPARE(lib.tree(), before);
}

void AddJournalTest::acceptsTheLongestName() {
    TempLibrary lib;
    PosixFileSystem fs;
    for (const QString &name : {QString(251, QLatin1Char('x')), QString(83, QChar(0x671F))}) {
        const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
        QVERIFY2(!outcome.failed(), qPrintable(outcome.messages.join('\n')));
        checkDefaults(lib, name);
    }
}

void AddJournalTest::undoesAHalfMadeJournal_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("skip");
    // Nature lacks two files, Cell is new.
    for (const auto &[name, files] : {std::pair{"Nature", 2}, std::pair{"Cell", 4}}) {
        for (int skip = 0; skip < files; ++skip) {
            QTest::addRow("%s, write %d", name, skip) << QString::fromLatin1(name) << int(Op::Write) << skip;
            QTest::addRow("%s, rename %d", name, skip)
                << QString::fromLatin1(name) << int(Op::Rename) << skip;
        }
    }
}

void AddJournalTest::undoesAHalfMadeJournal() {
    QFETCH(QString, name);
    QFETCH(int, op);
    QFETCH(int, skip);
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("Homepage/Nature.txt"), "\"https://www.nature.com\"\r\n");
    QFile::remove(lib.path(QStringLiteral("IF/Nature.txt")));
    QFile::remove(lib.path(QStringLiteral("Notes/Nature.txt")));
    const QStringList before = lib.tree();
    FaultyFileSystem fs;
    fs.failOn(Op(op), skip);
    const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
    QCOMPARE(outcome.messages.size(), 1);
    QVERIFY(outcome.messages.first().contains(QStringLiteral("injected failure")));
    QVERIFY(outcome.created.isEmpty());
    QCOMPARE(lib.tree(), before);
    QCOMPARE(lib.read(QStringLiteral("Homepage/Nature.txt")), QByteArray("\"https://www.nature.com\"\r\n"));
}

void AddJournalTest::neverWritesThroughWhatIsInTheWay() {
    TempLibrary lib;
    QTemporaryDir outside;
    lib.makeFolder(QStringLiteral("IF/Cell.txt"));
    QVERIFY(QFile::link(outside.filePath(QStringLiteral("planted.txt")),
                        lib.path(QStringLiteral("Notes/Nature.txt"))));
    lib.makeFolder(QStringLiteral("Gone"));
    QDir(lib.path(QStringLiteral("Homepage"))).removeRecursively(); // a library folder gone missing
    const QStringList before = lib.tree();
    FaultyFileSystem fs;
    for (const QString &name : {QStringLiteral("Cell"), QStringLiteral("Nature"), QStringLiteral("Acta")}) {
        const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
        QVERIFY(outcome.failed());
        QCOMPARE(lib.tree(), before);
    }
    QVERIFY(!QFile::exists(outside.filePath(QStringLiteral("planted.txt"))));
    FaultyFileSystem undoFails;
    undoFails.failOn(Op::RemoveFile, 1); // the IF file, the second one to be taken back
    lib.makeFolder(QStringLiteral("Homepage"));
    QDir(lib.path(QStringLiteral("Notes"))).removeRecursively();
    const EditOutcome outcome = addJournal(undoFails, lib.appDir(), QStringLiteral("Acta"));
    QCOMPARE(outcome.messages.size(), 2);
    QVERIFY(outcome.messages.at(1).contains(QStringLiteral("Cannot remove the file just created")));
    QCOMPARE(outcome.created, QStringList{lib.path(QStringLiteral("IF/Acta.txt"))});
}

void AddJournalTest::buttonAddsAndRecounts() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    lib.makeFolder(QStringLiteral("Example/Nature"));
    lib.write(QStringLiteral("Example/Nature/a.pdf"), "a");
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(0);
    seams.prompt.answers << QStringLiteral(" Cell ") << QStringLiteral("A|B");
    QTest::mouseClick(window.Command7, Qt::LeftButton);
    QCOMPARE(seams.prompt.asked.size(), 1);
    QCOMPARE(seams.prompt.asked.first().prompt, QStringLiteral("输入期刊名称 Input journal name:"));
    QCOMPARE(seams.prompt.asked.first().title, QStringLiteral("添加期刊 Add journal"));
    QCOMPARE(seams.prompt.asked.first().defaultText, QString());
    checkDefaults(lib, QStringLiteral(" Cell "));
    QCOMPARE(window.List1->items(), (QStringList{QStringLiteral(" Cell "), QStringLiteral("Nature")}));
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.List3->listCount(), 0);
    QCOMPARE(window.Text3->text(), QStringLiteral("\"IF:\"\r\n")); // still Nature's
    QCOMPARE(window.surfaceLines(), statistics(2, 1));
    QVERIFY(seams.errors.messages.isEmpty());

    const QStringList before = lib.tree();
    QTest::mouseClick(window.Command7, Qt::LeftButton);
    QCOMPARE(seams.errors.messages.size(), 1);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(window.surfaceLines(), statistics(2, 1));
}

void AddJournalTest::cancelAddsNothing() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    TestPlatform seams;
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    window.List1->setListIndex(0);
    const QStringList before = lib.tree();
    QTest::mouseClick(window.Command7, Qt::LeftButton); // the script is empty: a cancel
    QCOMPARE(seams.prompt.asked.size(), 1);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(window.List1->listIndex(), -1);
    QCOMPARE(window.surfaceLines(), statistics(1, 0));
    QVERIFY(seams.errors.messages.isEmpty());
}

void AddJournalTest::realDialogAddsTheTypedName() {
    TempLibrary lib;
    TestPlatform seams;
    DialogInputPrompt dialog;
    Form1 window(lib.appDir(), {seams.fs, seams.starter, seams.player, dialog, seams.clock, seams.errors});
    window.Form_Load();
    QString title;
    std::function<void()> answer = [&] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(0, answer);
            return;
        }
        title = box->windowTitle();
        box->findChild<QLineEdit *>()->setText(QStringLiteral("期刊 Journal"));
        box->accept();
    };
    QTimer::singleShot(0, answer);
    QTest::mouseClick(window.Command7, Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("添加期刊 Add journal"));
    checkDefaults(lib, QStringLiteral("期刊 Journal"));
    QCOMPARE(window.List1->items(), QStringList{QStringLiteral("期刊 Journal")});
    QCOMPARE(window.surfaceLines(), statistics(1, 0));
}

QTEST_MAIN(AddJournalTest)
#include "tst_add_journal.moc"
