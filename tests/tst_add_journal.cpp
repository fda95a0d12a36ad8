#include "editing/AddJournal.h"
#include "platform/DialogInputPrompt.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

using namespace varnotel;
using namespace varnotel::test;
using Op = FaultyFileSystem::Op;

namespace {

const QByteArray kNatureHome = "\"https://www.nature.com\"\r\n";

// Nature with an edited home page and neither IF nor notes file.
void addPartlyMissingNature(const TempLibrary &lib) {
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("Homepage/Nature.txt"), kNatureHome);
    QFile::remove(lib.path(QStringLiteral("IF/Nature.txt")));
    QFile::remove(lib.path(QStringLiteral("Notes/Nature.txt")));
}

} // namespace

class AddJournalTest : public QObject {
    Q_OBJECT
private slots:
    void createsTheMissingRecordFiles_data();
    void createsTheMissingRecordFiles();
    void leavesTheTreeAsBefore_data();
    void leavesTheTreeAsBefore();
    void reportsWhatItCannotTakeBack();
    void buttonAddsRefusesAndCancels();
    void realDialogAddsTheTypedName();
};

void AddJournalTest::createsTheMissingRecordFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Cell");
    QTest::newRow("blanks kept") << QStringLiteral("  Cell Reports ");
    QTest::newRow("Chinese") << QStringLiteral("中国科学 Science China");
    QTest::newRow("ends in .txt") << QStringLiteral("notes.txt");
    QTest::newRow("longest") << QString(251, QLatin1Char('x'));
    QTest::newRow("longest Chinese") << QString(83, QChar(0x671F));
    QTest::newRow("partly missing") << QStringLiteral("Nature");
}

void AddJournalTest::createsTheMissingRecordFiles() {
    QFETCH(QString, name);
    TempLibrary lib;
    addPartlyMissingNature(lib);
    const QStringList before = lib.tree();
    PosixFileSystem fs;
    const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
    QVERIFY2(!outcome.failed(), qPrintable(outcome.messages.join('\n')));
    const QList<QByteArray> defaults{quoted(QString()), quoted(QStringLiteral("IF:")),
                                     quoted(QStringLiteral("http:")), quoted(name + ":")};
    QStringList expected = before;
    for (int i = 0; i < 4; ++i) {
        const QString file = kRecordFolders[i] + "/" + name + ".txt";
        if (!before.contains(file)) {
            expected << file;
            QCOMPARE(lib.read(file), defaults[i]);
            QVERIFY(outcome.created.contains(lib.path(file)));
        }
    }
    expected.sort();
    QCOMPARE(lib.tree(), expected); // no example folder yet: made when the journal is first shown
    QCOMPARE(outcome.created.size(), expected.size() - before.size());
    QCOMPARE(lib.read(QStringLiteral("Homepage/Nature.txt")), kNatureHome);
}

void AddJournalTest::leavesTheTreeAsBefore_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("obstacle"); // a folder ("/"), a dangling link ("@"), a missing folder ("-")
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("skip");
    QTest::addColumn<QString>("failedFile"); // named in the message; none for a refused name
    QStringList refused{".", "..", QString(QChar(0)), QString(252, 'x'), QString(84, QChar(0x671F))};
    for (QChar c : QStringLiteral("/\\:*?\"<>|\t\n\x7f"))
        refused << QStringLiteral("A%1B").arg(c);
    for (int i = 0; i < refused.size(); ++i)
        QTest::addRow("refused %d", i) << refused[i] << QString() << -1 << 0 << QString();
    for (int skip = 0; skip < 4; ++skip) {
        const QString file = kRecordFolders[skip] + "/Cell.txt";
        QTest::addRow("write %d", skip) << "Cell" << QString() << int(Op::Write) << skip << file;
        QTest::addRow("rename %d", skip) << "Cell" << QString() << int(Op::Rename) << skip << file;
    }
    QTest::newRow("folder in the way") << "Cell"
                                       << "IF/Cell.txt/" << -1 << 0 << "IF/Cell.txt";
    QTest::newRow("link in the way") << "Nature"
                                     << "Notes/Nature.txt@" << -1 << 0 << "Notes/Nature.txt";
    QTest::newRow("folder missing") << "Cell"
                                    << "-Homepage" << -1 << 0 << "Homepage/Cell.txt";
}

void AddJournalTest::leavesTheTreeAsBefore() {
    QFETCH(QString, name);
    QFETCH(QString, obstacle);
    QFETCH(int, op);
    QFETCH(int, skip);
    QFETCH(QString, failedFile);
    TempLibrary lib;
    QTemporaryDir outside;
    addPartlyMissingNature(lib);
    if (obstacle.endsWith('/'))
        lib.makeFolder(obstacle);
    else if (obstacle.endsWith('@'))
        QVERIFY(QFile::link(outside.filePath(QStringLiteral("planted.txt")), lib.path(obstacle.chopped(1))));
    else if (obstacle.startsWith('-'))
        QVERIFY(QDir(lib.path(obstacle.mid(1))).removeRecursively());
    const QStringList before = lib.tree();
    FaultyFileSystem fs;
    if (op >= 0)
        fs.failOn(Op(op), skip);
    const EditOutcome outcome = addJournal(fs, lib.appDir(), name);
    QCOMPARE(outcome.messages.size(), 1);
    QVERIFY(isBilingual(outcome.messages.first()));
    QVERIFY(outcome.created.isEmpty());
    QCOMPARE(lib.tree(), before);
    QVERIFY(!QFile::exists(outside.filePath(QStringLiteral("planted.txt"))));
    if (failedFile.isEmpty())
        QCOMPARE(fs.calls(Op::Write), 0); // refused before anything is written
    else
        QVERIFY(outcome.messages.first().contains(lib.path(failedFile)));
}

void AddJournalTest::reportsWhatItCannotTakeBack() {
    TempLibrary lib;
    FaultyFileSystem fs;
    fs.failOn(Op::Write, 3);
    fs.stubborn << lib.path(QStringLiteral("IF/Acta.txt"));
    const EditOutcome outcome = addJournal(fs, lib.appDir(), QStringLiteral("Acta"));
    QCOMPARE(outcome.messages.size(), 2);
    QVERIFY(isBilingual(outcome.messages.at(1)) && outcome.messages.at(1).contains(fs.stubborn.first()));
    QCOMPARE(outcome.created, fs.stubborn);
    QCOMPARE(lib.tree(),
             (QStringList{"BGM/", "Example/", "Homepage/", "IF/", "IF/Acta.txt", "Journal/", "Notes/"}));
}

void AddJournalTest::buttonAddsRefusesAndCancels() {
    TempLibrary lib;
    lib.addJournal(QStringLiteral("Nature"));
    lib.write(QStringLiteral("Example/Nature/a.pdf"), "a");
    Window w(lib);
    const QStringList journals{QStringLiteral(" Cell "), QStringLiteral("Nature")};
    w.seams.prompt.answers << QStringLiteral(" Cell ") << QStringLiteral("A|B"); // then a cancel
    w.form.List1->setListIndex(0);
    QTest::mouseClick(w.form.Command7, Qt::LeftButton);
    QCOMPARE(w.seams.prompt.asked.size(), 1);
    QCOMPARE(w.seams.prompt.asked.first().prompt, QStringLiteral("输入期刊名称 Input journal name:"));
    QCOMPARE(w.seams.prompt.asked.first().title, QStringLiteral("添加期刊 Add journal"));
    QCOMPARE(w.seams.prompt.asked.first().defaultText, QString());
    QVERIFY(lib.exists(QStringLiteral("Notes/ Cell .txt")));
    QVERIFY(w.seams.errors.messages.isEmpty());
    checkRebuilt(w.form, journals, 1);

    for (int click = 1; click <= 2; ++click) { // refused, then cancelled: an error for the refusal only
        w.form.List1->setListIndex(0);         // showing the new journal makes its example folder
        const QStringList before = lib.tree();
        QTest::mouseClick(w.form.Command7, Qt::LeftButton);
        QCOMPARE(lib.tree(), before);
        QCOMPARE(w.seams.errors.messages.size(), 1);
        QVERIFY(isBilingual(w.seams.errors.messages.first()));
        checkRebuilt(w.form, journals, 1);
    }
    QCOMPARE(w.seams.prompt.asked.size(), 3);
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
    QVERIFY(lib.exists(QStringLiteral("Journal/期刊 Journal.txt")));
    checkRebuilt(window, {QStringLiteral("期刊 Journal")}, 0);
}

QTEST_MAIN(AddJournalTest)
#include "tst_add_journal.moc"
