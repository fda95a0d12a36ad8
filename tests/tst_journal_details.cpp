// Showing a journal, the three field buttons, Refresh.
#include "library/RecordFile.h"
#include "library/ShowJournal.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "platform/PosixFileSystem.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

QStringList opened(const TempLibrary &lib, QStringView file) { return {u"xdg-open"_s, lib.path(file)}; }

} // namespace

class JournalDetailsTest : public QObject {
    Q_OBJECT
private slots:
    void fieldsShowTheirFilesAndMissingOnesAreCompleted_data();
    void fieldsShowTheirFilesAndMissingOnesAreCompleted();
    void failuresOfOneSelectionAreToldOnce();
    void fieldButtonsOpenTheirFile_data();
    void fieldButtonsOpenTheirFile();
    void refreshRebuildsAndPurgesOneBlankNameFile();
    void aJournalGoneBehindTheProgramsBackGetsNoFiles_data();
    void aJournalGoneBehindTheProgramsBackGetsNoFiles();
};

void JournalDetailsTest::fieldsShowTheirFilesAndMissingOnesAreCompleted_data() {
    QTest::addColumn<QByteArray>("bytes"); // null: the IF file and the example folder are missing
    QTest::addColumn<QString>("text");     // null: only the note that the rest is not shown is checked
    const QByteArray huge = QByteArray("IF 5.2\r\n").repeated(3 * 1024 * 1024 / 8);
    QByteArray binary(2 * 1024 * 1024 + 4, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(binary.data()), binary.size() / 4);
    QTest::newRow("missing") << QByteArray() << u"\"IF:\"\r\n"_s;
    QTest::newRow("several lines, no final end") << QByteArray("a\r\nb\nc\rd") << u"a\r\nb\nc\r\nd\r\n"_s;
    QTest::newRow("empty") << QByteArray("") << u""_s;
    QTest::newRow("code page 936") << QByteArray::fromHex("d3b0cfecd2f2d7d320352e32")
                                   << u"影响因子 5.2\r\n"_s;
    QTest::newRow("huge") << huge << QString::fromLatin1(huge.left(kDisplayLimit)) + restNotShownNote();
    QTest::newRow("binary") << binary << QString();
}

void JournalDetailsTest::fieldsShowTheirFilesAndMissingOnesAreCompleted() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TempLibrary lib;
    lib.addJournal(u"Nature");
    lib.remove(u"IF/Nature.txt");
    if (!bytes.isNull()) {
        lib.write(u"IF/Nature.txt", bytes);
        lib.write(u"Example/Nature/b.pdf", "x");
        lib.write(u"Example/Nature/2020/a.doc", "x");
    }
    PosixFileSystem fs;
    const ShownJournal shown = showJournal(fs, lib.appDir(), u"Nature"_s);
    QCOMPARE(shown.failures(), QStringList());
    if (text.isNull())
        QVERIFY(shown.impactFactor.text.endsWith(restNotShownNote()) && isBilingual(restNotShownNote()));
    else
        QCOMPARE(shown.impactFactor.text, text);
    QCOMPARE(shown.homepage.text, u"\"http:\"\r\n"_s);
    QCOMPARE(shown.notes.text, u"\"Nature:\"\r\n"_s);
    QCOMPARE(lib.read(u"IF/Nature.txt"), bytes.isNull() ? quoted(u"IF:"_s) : bytes);
    QVERIFY(lib.isFolder(u"Example/Nature"));
    QCOMPARE(shown.examples.articles.names,
             bytes.isNull() ? QStringList() : QStringList({u"b.pdf"_s, u"a.doc"_s}));
}

// An edit made outside shows at the next selection; a box whose file cannot be
// read is emptied rather than left with another journal's text; all failures
// of one selection come in one message, and nothing is written meanwhile.
void JournalDetailsTest::failuresOfOneSelectionAreToldOnce() {
    TempLibrary lib;
    lib.addJournal(u"Cell");
    lib.addJournal(u"Nature");
    lib.write(u"Example/Cell/c.pdf", "x");
    lib.write(u"Homepage/Nature.txt", "https://www.nature.com/");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    clickRow(w.List1, 0);
    QCOMPARE(w.List3->items(), QStringList{u"c.pdf"_s});
    lib.write(u"IF/Nature.txt", "\"IF: 64.8\"");
    lib.remove(u"Notes/Nature.txt");
    clickRow(w.List1, 1);
    QCOMPARE(boxes(w),
             (QStringList{u"\"IF: 64.8\"\r\n"_s, u"https://www.nature.com/\r\n"_s, u"\"Nature:\"\r\n"_s}));
    QCOMPARE(w.List3->items(), QStringList());

    clickRow(w.List1, 0);
    lib.remove(u"Notes");
    lib.remove(u"Example");
    shown.seams.fs.failOn(FaultyFileSystem::Op::Read, shown.seams.fs.calls(FaultyFileSystem::Op::Read));
    const QStringList before = lib.tree();
    clickRow(w.List1, 1);
    QCOMPARE(lib.tree(), before);
    QCOMPARE(shown.seams.errors.messages.size(), 1);
    const QString message = shown.seams.errors.messages.first();
    QVERIFY(isBilingual(message));
    for (const QStringView path : {u"IF/Nature.txt", u"Notes/Nature.txt", u"Example/Nature"})
        QVERIFY2(message.contains(lib.path(path)), qPrintable(path.toString()));
    QCOMPARE(boxes(w), (QStringList{QString(), u"https://www.nature.com/\r\n"_s, QString()}));
    QCOMPARE(w.List3->items(), QStringList());
}

void JournalDetailsTest::fieldButtonsOpenTheirFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("button");
    QTest::newRow("Modify IF") << u"IF/Nature Reviews.txt"_s << u"Command5"_s;
    QTest::newRow("Modify homepage") << u"Homepage/Nature Reviews.txt"_s << u"Command6"_s;
    QTest::newRow("Modify notes") << u"Notes/Nature Reviews.txt"_s << u"Command1"_s;
}

// A missing file is made with its default and opened; an edited one is opened
// as it is; a link at its name is never written through. The boxes keep their
// text until the journal is selected again.
void JournalDetailsTest::fieldButtonsOpenTheirFile() {
    QFETCH(QString, file);
    QFETCH(QString, button);
    TempLibrary lib;
    lib.addJournal(u"Nature Reviews");
    ShownWindow shown(lib.appDir());
    auto *modify = shown.window.findChild<QPushButton *>(button);
    click(modify); // nothing selected: told, nothing made or opened
    QCOMPARE(shown.seams.errors.messages.size(), 1);
    QVERIFY(isBilingual(shown.seams.errors.messages.first()));
    clickRow(shown.window.List1, 0);
    const QByteArray created = lib.read(file);
    const QStringList shownBoxes = boxes(shown.window);
    lib.remove(file);
    click(modify);
    QCOMPARE(lib.read(file), created);
    lib.write(file, "edited");
    click(modify);
    QCOMPARE(lib.read(file), "edited");
    QCOMPARE(shown.seams.starter.starts, (QList<QStringList>{opened(lib, file), opened(lib, file)}));
    QCOMPARE(boxes(shown.window), shownBoxes);

    lib.remove(file);
    QVERIFY(QFile::link(lib.path(u"outside.txt"), lib.path(file)));
    click(modify);
    QVERIFY(!lib.exists(u"outside.txt"));
    QCOMPARE(shown.seams.starter.starts.size(), 2);
    QCOMPARE(shown.seams.errors.messages.size(), 2);
    QVERIFY(shown.seams.errors.messages.last().contains(lib.path(file)));
}

void JournalDetailsTest::refreshRebuildsAndPurgesOneBlankNameFile() {
    TempLibrary lib;
    lib.addJournal(u"Cell");
    lib.addJournal(u"Nature");
    lib.write(u"Example/Nature/a.pdf", "x");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    QTest::keyClicks(w.Text1, u"zzz"_s);
    clickRow(w.List1, 1);
    const QStringList shownBoxes = boxes(w);
    // Changes made outside the program show after the click; the boxes and the skip-to box keep their texts.
    lib.remove(u"Journal/Cell.txt");
    lib.write(u"Example/Nature/b.pdf", "x");
    lib.write(u"IF/Nature.txt", "\"IF: 1\"\r\n");
    lib.write(u"Journal/.txt", quoted({}));
    click(w.Command10);
    // The blank entry is listed and counted by the click that deletes its file.
    QCOMPARE(w.List1->items(), (QStringList{QString(), u"Nature"_s}));
    QCOMPARE(w.surfaceLines(), statistics(2, 2));
    QCOMPARE(w.currentJournal(), std::nullopt);
    QCOMPARE(w.List3->items(), QStringList());
    QCOMPARE(boxes(w), shownBoxes);
    QCOMPARE(w.Text1->text(), u"zzz"_s);
    QVERIFY(!lib.exists(u"Journal/.txt"));
    // Its file is gone, so selecting it makes nothing: the user is told and the lists are rebuilt.
    const QStringList before = lib.tree();
    clickRow(w.List1, 0);
    QCOMPARE(w.List1->items(), QStringList{u"Nature"_s});
    QCOMPARE(lib.tree(), before);
    QCOMPARE(shown.seams.errors.messages.size(), 1);
    // A blank entry listed from a subfolder completes the blank-name files; Example is its example folder.
    lib.write(u"Journal/old/.txt", quoted({}));
    click(w.Command10);
    clickRow(w.List1, 1);
    QCOMPARE(boxes(w), (QStringList{u"\"IF:\"\r\n"_s, u"\"http:\"\r\n"_s, u"\":\"\r\n"_s}));
    QCOMPARE(w.List3->items(), (QStringList{u"a.pdf"_s, u"b.pdf"_s}));
    // Editing opens a blank-name file without making it.
    lib.remove(u"IF/.txt");
    click(w.Command5);
    QVERIFY(!lib.exists(u"IF/.txt"));
    QCOMPARE(shown.seams.starter.starts, QList<QStringList>{opened(lib, u"IF/.txt")});
    // Each click purges one blank-name file only.
    click(w.Command10);
    QVERIFY(!lib.exists(u"Homepage/.txt") && lib.exists(u"Notes/.txt"));
    QCOMPARE(shown.seams.errors.messages.size(), 1);
}

void JournalDetailsTest::aJournalGoneBehindTheProgramsBackGetsNoFiles_data() {
    QTest::addColumn<QString>("button"); // pressed after Old was clicked; none: Old is clicked after it went
    QTest::addColumn<bool>("goesDuringThePrompt");
    QTest::newRow("selecting it") << QString() << false;
    QTest::newRow("Modify IF") << u"Command5"_s << false;
    QTest::newRow("Open journal homepage") << u"Command3"_s << false;
    QTest::newRow("rename") << u"Command4"_s << false;
    QTest::newRow("rename, gone while asked") << u"Command4"_s << true;
}

// Another instance renamed Old to New: the program says so, rebuilds the
// lists, and makes no file for Old nor under the name typed.
void JournalDetailsTest::aJournalGoneBehindTheProgramsBackGetsNoFiles() {
    QFETCH(QString, button);
    QFETCH(bool, goesDuringThePrompt);
    TempLibrary lib;
    lib.addJournal(u"Old");
    lib.addJournal(u"Zeta");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    const auto renameElsewhere = [&] {
        for (const QStringView folder : {u"Journal/", u"IF/", u"Homepage/", u"Notes/", u"Example/"})
            QFile::rename(
                lib.path(folder.toString() + u"Old"_s + (folder == u"Example/" ? u""_s : u".txt"_s)),
                lib.path(folder.toString() + u"New"_s + (folder == u"Example/" ? u""_s : u".txt"_s)));
    };
    if (!button.isEmpty())
        clickRow(w.List1, 0);
    QStringList renamed = lib.tree().replaceInStrings(u"Old"_s, u"New"_s);
    shown.seams.prompt.answers << u"Newer"_s;
    if (goesDuringThePrompt)
        shown.seams.prompt.whileAsking = renameElsewhere;
    else
        renameElsewhere();
    if (button.isEmpty())
        clickRow(w.List1, 0);
    else
        click(w.findChild<QPushButton *>(button));
    renamed.sort();
    QCOMPARE(lib.tree(), renamed);
    QCOMPARE(shown.seams.errors.messages.size(), 1);
    QVERIFY(isBilingual(shown.seams.errors.messages.first()));
    QVERIFY(shown.seams.errors.messages.first().endsWith(u"\nOld"_s));
    QCOMPARE(w.List1->items(), (QStringList{u"New"_s, u"Zeta"_s}));
    QCOMPARE(shown.seams.starter.starts, QList<QStringList>());
}

QTEST_MAIN(JournalDetailsTest)
#include "tst_journal_details.moc"
