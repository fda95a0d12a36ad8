// The window as a person first meets it: what it shows of the application
// folder and what it deletes there, at start-up and at each Refresh, where
// its controls stand, where the focus is and where Tab takes it, the clock
// lines redrawn at every tick of Timer1, and whether every printed text is whole.
#include "mainwindow/ClockLines.h"
#include "mainwindow/widgets/CountingList.h"
#include "mainwindow/widgets/ListBox.h"
#include "music/widgets/MediaPlayerBar.h"
#include "mainwindow/widgets/PictureBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "desktop/ControlStyle.h"
#include "platform/SystemClock.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

QDateTime at(int year, int month, int day, int hour, int minute, int second) {
    return {QDate(year, month, day), QTime(hour, minute, second)};
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheApplicationFolderAndRefreshReadsItAgain();
    void missingFoldersAndFailedPurgesDoNotStopStartUp();
    void controlsStandWhereAPersonExpectsThem();
    void theBlogButtonHasTheFocusAndTabVisitsTheControlsInOrder();
    void eachTickPrintsBothClockLinesAnew();
};

// Whatever the current folder. The statistics lines are printed on the
// window itself, before it is first shown, and stay there whole: off the top
// edge, above the clock box that would hide anything lower. One blank-name
// file is purged before the scan, the next at the next start. Refresh then
// shows the changes made outside the program; the boxes and the skip-to box
// keep their texts. The blank entry is listed and counted by the click that
// deletes its file, and each click purges one blank-name file only.
void StartupTest::startsOnTheApplicationFolderAndRefreshReadsItAgain() {
    TempLibrary lib;
    lib.write(u"Journal/.txt", quoted({}));
    lib.write(u"IF/.txt", quoted(u"IF:"_s));
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
    QCOMPARE(w.surfaceLines(), statistics(2, 2));
    QImage surface(w.size(), QImage::Format_RGB32);
    w.render(&surface, {}, {}, QWidget::DrawWindowBackground);
    const QRect ink = inkBounds(surface, Qt::white);
    QVERIFY(ink.top() > 0 && ink.bottom() < w.Picture1->y());
    QCOMPARE(shown.seams.errors.messages, QStringList());
    QVERIFY(lib.exists(u"IF/.txt"));
    ShownWindow(lib.appDir());
    QVERIFY(!lib.exists(u"IF/.txt"));

    QTest::keyClicks(w.Text1, u"zzz"_s);
    clickRow(w.List1, 1);
    const QStringList shownBoxes = boxes(w);
    lib.remove(u"Journal/cell.txt");
    lib.write(u"Example/Nature/b.pdf", "x");
    lib.write(u"Journal/.txt", quoted({}));
    lib.write(u"IF/.txt", quoted(u"IF:"_s));
    click(w.Command10);
    QCOMPARE(w.List1->items(), (QStringList{QString(), u"Nature"_s}));
    QCOMPARE(w.surfaceLines(), statistics(2, 3));
    QCOMPARE(w.currentJournal(), std::nullopt);
    QCOMPARE(w.List3->items(), QStringList());
    QCOMPARE(boxes(w), shownBoxes);
    QCOMPARE(w.Text1->text(), u"zzz"_s);
    QVERIFY(!lib.exists(u"Journal/.txt") && lib.exists(u"IF/.txt"));
    QCOMPARE(shown.seams.errors.messages, QStringList());
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
    QCOMPARE(unexpectedIn(seams.errors.messages, 1, {u"Permission denied"_s, lib.path(u"Journal/.txt")}),
             QString());
    QCOMPARE(window.List1->items(), (QStringList{QString(), u"Acta"_s}));
    QCOMPARE(seams.player.urlSets, 1);
}

// Measured as a person would: edges that line up, the bar along the bottom,
// captions in Chinese, a blank, then English. Twips become logical pixels at 15 to one,
// rounded to the nearest.
void StartupTest::controlsStandWhereAPersonExpectsThem() {
    QCOMPARE(style::fromTwips(7, 8, 22, 23), QRect(0, 1, 1, 2));
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    const Form1 &w = shown.window;
    QCOMPARE(w.size(), QSize(992, 678));
    for (const QWidget *journalColumn : QList<const QWidget *>{w.Command11, w.Text1, w.Command10})
        QCOMPARE(journalColumn->geometry().right(), w.List1->geometry().right());
    for (const QWidget *detailColumn :
         QList<const QWidget *>{w.Text2, w.Text4, w.List3, w.Command9, w.Command2})
        QCOMPARE(detailColumn->geometry().right(), w.Text3->geometry().right());
    QCOMPARE(w.Text3->geometry().left(), 504);
    QVERIFY(!w.List2->isVisible() && w.List1->geometry().contains(w.List2->geometry()));
    QCOMPARE(w.WindowsMediaPlayer1->geometry(), QRect(8, 624, 977, 49));
    QStringList captions;
    for (const QPushButton *button : w.findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly))
        captions << button->text();
    // Lower strokes (p, g, brackets) and the tops of Chinese characters included.
    for (QLabel *label : w.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly)) {
        captions << label->text();
        QVERIFY2(showsWhole(label), qPrintable(label->text()));
    }
    QCOMPARE(captions.size(), 18);
    QCOMPARE(captions.filter(QRegularExpression(u"^[\\x{4E00}-\\x{9FFF}]+ [A-Z][a-z]"_s)), captions);
    QCOMPARE(w.font().family(), u"Times New Roman"_s);
    QVERIFY(w.Text3->font().bold() && w.Text3->font().pointSizeF() == 20.25);
    QVERIFY(!w.windowIcon().isNull());
}

// Space on the focused button at start opens the author's blog, nothing asks
// for a new journal title. The clock boxes and the player's controls are stops
// of their own, the player before the rename button; the walk comes back to
// where it began.
void StartupTest::theBlogButtonHasTheFocusAndTabVisitsTheControlsInOrder() {
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    QVERIFY(QTest::qWaitForWindowActive(&shown.window));
    QCOMPARE(QApplication::focusWidget(), shown.window.Command2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(shown.seams.starter.starts.size(), 1);
    QVERIFY(shown.seams.starter.starts.first().join(u' ').contains(u"blog"_s));
    QVERIFY(shown.seams.prompt.asked.isEmpty());
    QStringList visited;
    for (int press = 0; press < 25; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, u"List1 Picture1 playPauseButton stopButton positionSlider muteButton volumeSlider "
                      u"Command4 Text3 Command5 Command6 Command8 Command9 Text2 Picture2 Text4 Command1 "
                      u"Command10 List3 Command7 Text1 Command3 Command11 Command12 Command2"_s.split(u' '));
}

// The Chinese line takes the system's name for the weekday; the English line
// carries the English weekday whatever the system's language. The window's
// clock boxes are empty until the first tick, then show both lines whole,
// also the widest ones, and each tick prints them anew: when 59 seconds turn
// to 0 nothing of the old lines is left.
void StartupTest::eachTickPrintsBothClockLinesAnew() {
    const QDateTime sunday = at(2015, 3, 1, 0, 0, 0);
    const QString dimanche =
        SystemClock(QLocale(QLocale::French, QLocale::France)).weekdayName(sunday.date());
    QCOMPARE(chineseClockLine(sunday, dimanche), u" 2015 年 3 月 1 日 dimanche 0 点 0 分 0 秒"_s);
    QCOMPARE(englishClockLine(sunday), u" March  1 , 2015  Sunday  0 : 0 : 0 "_s);
    QCOMPARE(SystemClock(QLocale(QLocale::Chinese, QLocale::China)).weekdayName(QDate(2014, 8, 7)),
             u"星期四"_s);

    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    const auto printed = [&w] { return w.Picture1->printedLines() + w.Picture2->printedLines(); };
    QCOMPARE(printed(), QStringList());
    shown.seams.clock.moment = at(2014, 9, 24, 23, 59, 59);
    shown.seams.clock.weekday = u"星期三"_s;
    QTRY_COMPARE(printed(), (QStringList{u" 2014 年 9 月 24 日 星期三 23 点 59 分 59 秒"_s,
                                         u" September  24 , 2014  Wednesday  23 : 59 : 59 "_s}));
    QVERIFY(showsWhole(w.Picture1) && showsWhole(w.Picture2));
    shown.seams.clock.moment = at(2014, 12, 26, 0, 0, 0);
    QTRY_COMPARE(printed(), (QStringList{u" 2014 年 12 月 26 日 星期三 0 点 0 分 0 秒"_s,
                                         u" December  26 , 2014  Friday  0 : 0 : 0 "_s}));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
