// The window as a person first meets it: where the focus is, where Tab takes
// it, and whether every printed text is shown whole.
#include "mainwindow/PictureBox.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

QString focusedName() {
    QWidget *focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString();
}

} // namespace

class WindowDesignTest : public QObject {
    Q_OBJECT
private slots:
    void theBlogButtonHasTheFocusAtStart();
    void tabVisitsTheControlsInTheirOrder();
    void labelsShowTheirCaptionsWhole();
    void statisticsLinesStandWholeAboveTheClock();
};

// Space on the focused button at start opens the author's blog; nothing asks
// for a new journal title.
void WindowDesignTest::theBlogButtonHasTheFocusAtStart() {
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    QVERIFY(QTest::qWaitForWindowActive(&shown.window));
    QCOMPARE(focusedName(), u"Command2"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(shown.seams.starter.starts.size(), 1);
    QVERIFY(shown.seams.starter.starts.first().join(u' ').contains(u"blog"_s));
    QVERIFY(shown.seams.prompt.asked.isEmpty());
}

// The clock boxes and the player's controls are stops of their own, the
// player before the rename button; the walk comes back to where it began.
void WindowDesignTest::tabVisitsTheControlsInTheirOrder() {
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    QVERIFY(QTest::qWaitForWindowActive(&shown.window));
    QStringList visited;
    for (int press = 0; press < 25; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focusedName();
    }
    const QStringList expected{
        u"List1"_s,      u"Picture1"_s,     u"playPauseButton"_s, u"stopButton"_s, u"positionSlider"_s,
        u"muteButton"_s, u"volumeSlider"_s, u"Command4"_s,        u"Text3"_s,      u"Command5"_s,
        u"Command6"_s,   u"Command8"_s,     u"Command9"_s,        u"Text2"_s,      u"Picture2"_s,
        u"Text4"_s,      u"Command1"_s,     u"Command10"_s,       u"List3"_s,      u"Command7"_s,
        u"Text1"_s,      u"Command3"_s,     u"Command11"_s,       u"Command12"_s,  u"Command2"_s};
    QCOMPARE(visited, expected);
}

// Lower strokes (p, g, brackets) and the tops of Chinese characters included.
void WindowDesignTest::labelsShowTheirCaptionsWhole() {
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    const QList<QLabel *> labels = shown.window.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(labels.size(), 6);
    for (QLabel *label : labels)
        QVERIFY2(showsWhole(label), qPrintable(label->text()));
}

// The surface alone, without the controls on it: the Chinese line keeps off
// the window's top edge, and the English one ends above the clock box that
// would hide anything lower.
void WindowDesignTest::statisticsLinesStandWholeAboveTheClock() {
    TempLibrary lib;
    ShownWindow shown(lib.appDir());
    Form1 &w = shown.window;
    QImage surface(w.size(), QImage::Format_RGB32);
    w.render(&surface, {}, {}, QWidget::DrawWindowBackground);
    const QRect ink = inkBounds(surface, Qt::white);
    QVERIFY(ink.top() > 0);
    QVERIFY(ink.bottom() < w.Picture1->y());
}

QTEST_MAIN(WindowDesignTest)
#include "tst_window_design.moc"
