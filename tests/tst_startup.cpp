// Start-up on an application folder: what the window shows, what it deletes,
// and where its controls stand as a person sees them.
#include "mainwindow/CountingList.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/MediaPlayerBar.h"
#include "mainwindow/TextBox.h"
#include "platform/ControlStyle.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

bool hasInk(const QImage &image, const QRect &area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

QStringList captions(const Form1 &window) {
    QStringList result;
    for (const QPushButton *button :
         window.findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly))
        result << button->text();
    for (const QLabel *label : window.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
        result << label->text();
    result.sort();
    return result;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheApplicationFolderWhateverTheCurrentFolder();
    void purgesOneBlankNameFileBeforeScanning();
    void missingFoldersAndFailedPurgesDoNotStopStartUp();
    void controlsStandWhereAPersonExpectsThem();
};

void StartupTest::startsOnTheApplicationFolderWhateverTheCurrentFolder() {
    TempLibrary lib;
    lib.addJournal(u"Nature");
    lib.addJournal(u"cell");
    lib.write(u"Example/cell/paper.pdf", "x");
    lib.write(u"Example/stray.doc", "x");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QDir::rootPath());
    ShownWindow shown(lib.appDir());
    QDir::setCurrent(previous);
    Form1 &w = shown.window;
    QCOMPARE(w.windowTitle(), u"Varnotel 1.0 - "_s + lib.appDir());
    QCOMPARE(w.List1->items(), (QStringList{u"cell"_s, u"Nature"_s}));
    QCOMPARE(w.currentJournal(), std::nullopt);
    QCOMPARE(w.List3->listCount(), 0);
    QCOMPARE(boxes(w), QStringList(3));
    // Printed before the window was first shown, and still there to be read.
    QCOMPARE(w.surfaceLines(), statistics(2, 2));
    QVERIFY(hasInk(w.grab().toImage(), QRect(0, 0, 300, 30)));
    QCOMPARE(shown.seams.player.url(), lib.path(u"BGM/BGM.mp3"));
    QCOMPARE(shown.seams.player.urlSets, 1);
    QCOMPARE(shown.seams.errors.messages, QStringList());
}

void StartupTest::purgesOneBlankNameFileBeforeScanning() {
    TempLibrary lib;
    lib.write(u"Journal/.txt", quoted({}));
    lib.write(u"IF/.txt", quoted(u"IF:"_s));
    for (const bool firstStart : {true, false}) {
        ShownWindow shown(lib.appDir());
        QCOMPARE(shown.window.List1->listCount(), 0); // the blank journal went before the scan
        QCOMPARE(lib.exists(u"IF/.txt"), firstStart); // the IF file waits for the next start
    }
}

void StartupTest::missingFoldersAndFailedPurgesDoNotStopStartUp() {
    TempLibrary empty(false);
    ShownWindow bare(empty.appDir());
    QCOMPARE(bare.window.surfaceLines(), statistics(0, 0));
    QCOMPARE(bare.seams.errors.messages, QStringList());
    QCOMPARE(empty.tree(), QStringList()); // start-up creates nothing

    TempLibrary lib;
    lib.write(u"Journal/.txt", quoted({}));
    lib.addJournal(u"Acta");
    TestPlatform seams;
    seams.fs.failOn(FaultyFileSystem::Op::RemoveFile, 0, u"Permission denied"_s);
    Form1 window(lib.appDir(), seams.platform());
    window.Form_Load();
    QCOMPARE(seams.errors.messages.size(), 1);
    QVERIFY(isBilingual(seams.errors.messages.first()));
    QVERIFY(seams.errors.messages.first().contains(u"Permission denied"_s));
    QVERIFY(seams.errors.messages.first().contains(lib.path(u"Journal/.txt")));
    QCOMPARE(window.List1->items(), (QStringList{QString(), u"Acta"_s}));
    QCOMPARE(seams.player.urlSets, 1);
}

void StartupTest::controlsStandWhereAPersonExpectsThem() {
    // Twips become logical pixels at 15 to one, rounded to the nearest.
    QCOMPARE(style::fromTwips(7, 8, 22, 23), QRect(0, 1, 1, 2));
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    const Form1 &w = shown.window;
    QCOMPARE(w.size(), QSize(992, 678));
    // The journal column: the list, its three buttons and the skip-to box end on one line.
    const int journalRight = w.List1->geometry().right();
    for (const QWidget *aligned : QList<const QWidget *>{w.Command11, w.Text1, w.Command10})
        QCOMPARE(aligned->geometry().right(), journalRight);
    QCOMPARE(w.Command7->geometry().left(), w.List1->geometry().left());
    // The detail column: the boxes and the lists share their edges with the buttons on the right.
    for (const QWidget *column : QList<const QWidget *>{w.Text2, w.Text4, w.List3, w.Command9, w.Command2})
        QCOMPARE(column->geometry().right(), w.Text3->geometry().right());
    QCOMPARE(w.Text3->geometry().left(), 504);
    // The hidden counting list lies inside the journal list; the player strip spans the bottom.
    QVERIFY(!w.List2->isVisible() && w.List1->geometry().contains(w.List2->geometry()));
    QCOMPARE(w.WindowsMediaPlayer1->geometry(), QRect(8, 624, 977, 49));
    QStringList expected{u"修改备注 Modify notes"_s,
                         u"修改影响因子 Modify IF"_s,
                         u"修改期刊名称 Modify journal title"_s,
                         u"修改期刊链接 Modify journal homepage"_s,
                         u"作者博客 Author's blog"_s,
                         u"删除该文件 Delete this file"_s,
                         u"删除该期刊 Delete this journal"_s,
                         u"刷新 Refresh"_s,
                         u"期刊例文 Journal example articles:"_s,
                         u"期刊列表 Journal List:"_s,
                         u"期刊备注 Notes:"_s,
                         u"期刊链接 Journal homepage:"_s,
                         u"添加期刊 Add journal"_s,
                         u"添加期刊例文 Add example article"_s,
                         u"打开期刊链接 Open journal homepage"_s,
                         u"用户手册 User's Manual"_s,
                         u"影响因子 Impact factor (IF):"_s,
                         u"跳转 Skip to:"_s};
    expected.sort();
    QCOMPARE(captions(w), expected);
    QCOMPARE(w.font().family(), u"Times New Roman"_s);
    QCOMPARE(w.font().pointSizeF(), 9.75);
    QVERIFY(w.Text3->font().bold() && w.Text3->font().pointSizeF() == 20.25);
    QCOMPARE(w.Command5->font().pointSizeF(), 9.0);
    QVERIFY(!w.windowIcon().isNull());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
