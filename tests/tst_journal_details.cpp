// Showing a journal, the three field buttons and Refresh.
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
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
    void failuresOfOneSelectionAreToldOnce();
    void fieldButtonsOpenTheirFile_data();
    void fieldButtonsOpenTheirFile();
    void refreshRebuildsAndPurgesOneBlankNameFile();
};

// A box whose file cannot be read is emptied rather than left with another
// journal's text; all failures of one selection come in one message, and
// nothing is written meanwhile.
void JournalDetailsTest::failuresOfOneSelectionAreToldOnce() {
    TempLibrary lib;
    lib.addJournal(u"Cell");
    lib.addJournal(u"Nature");
    lib.write(u"Example/Cell/c.pdf", "x");
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    clickRow(w.List1, 0);
    lib.remove(u"Notes");
    lib.remove(u"Example");
    shown.seams.fs.failOn(FaultyFileSystem::Op::Read, shown.seams.fs.calls(FaultyFileSystem::Op::Read));
    const QStringList before = lib.tree();
    clickRow(w.List1, 1);
    QCOMPARE(lib.tree(), before);
    const QStringList named{lib.path(u"IF/Nature.txt"), lib.path(u"Notes/Nature.txt"),
                            lib.path(u"Example/Nature")};
    QCOMPARE(unexpectedIn(shown.seams.errors.messages, 1, named), QString());
    QCOMPARE(boxes(w), (QStringList{QString(), u"\"http:\"\r\n"_s, QString()}));
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
// text until the journal is selected again. The blank entry's file is opened
// without being made: the blank-name files are purged at start-up.
void JournalDetailsTest::fieldButtonsOpenTheirFile() {
    QFETCH(QString, file);
    QFETCH(QString, button);
    TempLibrary lib;
    lib.addJournal(u"Nature Reviews");
    lib.write(u"Journal/old/.txt", quoted({}));
    ShownWindow shown(lib.appDir());
    auto *modify = shown.window.findChild<QPushButton *>(button);
    click(modify); // nothing selected: told, nothing made or opened
    clickRow(shown.window.List1, 0);
    const QByteArray created = lib.read(file);
    const QStringList shownBoxes = boxes(shown.window);
    lib.remove(file);
    click(modify);
    QCOMPARE(lib.read(file), created);
    lib.write(file, "edited");
    click(modify);
    QCOMPARE(lib.read(file), "edited");
    QCOMPARE(boxes(shown.window), shownBoxes);
    lib.remove(file);
    QVERIFY(QFile::link(lib.path(u"outside.txt"), lib.path(file)));
    click(modify);
    QVERIFY(!lib.exists(u"outside.txt"));
    QCOMPARE(unexpectedIn(shown.seams.errors.messages, 2, {lib.path(file)}), QString());

    const QString blankNameFile = QString(file).remove(u"Nature Reviews"_s);
    clickRow(shown.window.List1, 1);
    lib.remove(blankNameFile);
    click(modify);
    QVERIFY(!lib.exists(blankNameFile));
    QCOMPARE(shown.seams.starter.starts,
             (QList<QStringList>{opened(lib, file), opened(lib, file), opened(lib, blankNameFile)}));
}

// Changes made outside the program show after the click; the boxes and the
// skip-to box keep their texts. The blank entry is listed and counted by the
// click that deletes its file, and each click purges one blank-name file only.
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
    lib.remove(u"Journal/Cell.txt");
    lib.write(u"Example/Nature/b.pdf", "x");
    lib.write(u"Journal/.txt", quoted({}));
    lib.write(u"IF/.txt", quoted(u"IF:"_s));
    click(w.Command10);
    QCOMPARE(w.List1->items(), (QStringList{QString(), u"Nature"_s}));
    QCOMPARE(w.surfaceLines(), statistics(2, 2));
    QCOMPARE(w.currentJournal(), std::nullopt);
    QCOMPARE(w.List3->items(), QStringList());
    QCOMPARE(boxes(w), shownBoxes);
    QCOMPARE(w.Text1->text(), u"zzz"_s);
    QVERIFY(!lib.exists(u"Journal/.txt") && lib.exists(u"IF/.txt"));
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

QTEST_MAIN(JournalDetailsTest)
#include "tst_journal_details.moc"
