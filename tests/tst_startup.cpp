// The window as a person first meets it: what it shows of the application
// folder and what it deletes there, at start-up and at each Refresh, where the
// focus is and where Tab takes it, and the clock lines at every tick.
#include "platform/SystemClock.h"
#include "support/Expectations.h"
#include "support/WindowDriver.h"

#include "desktop/MessageBoxErrorReport.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QtTest>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheApplicationFolderSeenAndHeardAndRefreshReadsItAgain();
    void aMissingLibraryStartsWithTheFocusOnTheBlogButtonAndTheClockTicking();
};

// Whatever the current folder. The statistics lines stand whole above the
// clock box, which would hide anything lower. One blank-name file is purged
// before the first scan; a purge that fails is told by its kind and start-up
// goes on.
// Refresh scans, then purges one; it shows the changes made outside the
// program, and the boxes and the skip-to box keep their texts.
// A screen reader hears lists and boxes by their labels, buttons and the
// bar's controls by their captions; the statistics and clock lines are the
// text of their surfaces, following every change. A picture box shows that it
// has the focus, no control covers another's frame, and a message box's
// button speaks both languages.
void StartupTest::startsOnTheApplicationFolderSeenAndHeardAndRefreshReadsItAgain() {
    Session s;
    s.lib.write(u"Journal/.txt", quoted({}));
    s.lib.write(u"IF/.txt", quoted(u"IF:"_s));
    s.lib.addJournal(u"Nature");
    s.lib.addJournal(u"cell");
    QDir::setCurrent(QDir::rootPath()); // no test here needs it back
    ShownWindow &shown = s.start();
    QCOMPARE(shown.window.windowTitle(), u"Varnotel 1.0 - "_s + s.lib.appDir());
    QCOMPARE(libraryShown(shown), (QStringList{u"cell"_s, u"Nature"_s} + statistics(2, 0)));
    QVERIFY(showsWhole(shown.ui.Surface) && shown.ui.Surface->geometry().bottom() < shown.ui.Picture1->y());
    QVERIFY(!s.lib.exists(u"Journal/.txt") && s.lib.exists(u"IF/.txt"));
    const auto heard = [](QWidget *w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    QCOMPARE(heard(shown.ui.List1) + heard(shown.ui.Text3),
             u"期刊列表 Journal List影响因子 Impact factor (IF)"_s);
    for (QWidget *control : shown.window.findChildren<QWidget *>())
        if (control->isVisible() && (control->focusPolicy() & Qt::TabFocus))
            QVERIFY2(!heard(control).isEmpty(), qPrintable(control->objectName()));
    for (QWidget *box : {static_cast<QWidget *>(shown.ui.List1), static_cast<QWidget *>(shown.ui.List3),
                         static_cast<QWidget *>(shown.ui.Text1), static_cast<QWidget *>(shown.ui.Text4)})
        QVERIFY2(frameUncovered(box), qPrintable(box->objectName()));
    shown.seams.clock.moment = QDateTime(QDate(2014, 9, 24), QTime(23, 59, 59));
    QTRY_COMPARE(heard(shown.ui.Picture2), u" September  24 , 2014  Wednesday  23 : 59 : 59 "_s);
    const QImage unfocused = shown.ui.Picture1->grab().toImage();
    shown.ui.List1->setFocus();
    QTest::keyClick(shown.ui.List1, Qt::Key_Tab);
    QVERIFY(shown.ui.Picture1->hasFocus() && shown.ui.Picture1->grab().toImage() != unfocused);
    QString button;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        button = box->buttons().first()->text();
        box->accept();
    });
    MessageBoxErrorReport().report(&shown.window, {{FailureKind::NothingSelected, u"选 Select"_s}});
    QCOMPARE(button, u"确定 OK"_s);
    const ShownWindow failing(s.lib.appDir(), nullptr, nullptr,
                              [](ShownWindow &w) { w.seams.fs.failOn(FaultyFileSystem::Op::RemoveFile); });
    QCOMPARE(failing.seams.errors.kinds(), Kinds{{FailureKind::CannotDelete}});
    QCOMPARE(libraryShown(failing), libraryShown(shown));

    s.lib.write(u"Example/Nature/b.pdf", "x");
    QTest::keyClicks(shown.ui.Text1, u"zzz"_s);
    clickRow(shown.ui.List1, 1);
    const QStringList texts = boxes(shown) << shown.ui.Text1->text();
    s.lib.remove(u"Journal/cell.txt");
    s.lib.write(u"Journal/.txt", quoted({}));
    click(shown.ui.Command10);
    QCOMPARE(libraryShown(shown), (QStringList{QString(), u"Nature"_s} + statistics(2, 1)));
    QCOMPARE(shown.ui.List3->items(), QStringList());
    QCOMPARE(boxes(shown) << shown.ui.Text1->text(), texts);
    QCOMPARE(heard(shown.ui.Surface), statistics(2, 1).join(u'\n'));
    QVERIFY(!s.lib.exists(u"Journal/.txt") && s.lib.exists(u"IF/.txt"));
}

// Start-up makes nothing and tells nothing. Space on the button that has the
// focus opens the blog; the Tab walk meets every control that takes the focus
// once and comes back where it began. Captions stand whole. The clock boxes
// are empty until the first tick, then show both lines whole, the weekday as
// the system names it and the English one of the date; each tick prints them
// anew.
void StartupTest::aMissingLibraryStartsWithTheFocusOnTheBlogButtonAndTheClockTicking() {
    Session s;
    for (const QString &folder : s.lib.tree())
        s.lib.remove(folder);
    ShownWindow &shown = s.start();
    QCOMPARE(shown.ui.Surface->printedLines() + s.lib.tree() + shown.seams.errors.texts(), statistics(0, 0));

    QCOMPARE(QApplication::focusWidget(), shown.ui.Command2);
    QTest::keyClick(shown.ui.Command2, Qt::Key_Space);
    QCOMPARE(shown.seams.starter.starts.size(), 1);
    QWidgetList stops, visited;
    for (QWidget *child : shown.window.findChildren<QWidget *>())
        if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus))
            stops << child;
    for (qsizetype press = 0; press < stops.size(); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited.last(), shown.ui.Command2);
    QCOMPARE(QSet(visited.cbegin(), visited.cend()), QSet(stops.cbegin(), stops.cend()));
    QVERIFY(!childNamed(shown.window, "List2")->isVisible()); // counted, never shown
    for (QLabel *label : shown.window.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY2(showsWhole(label), qPrintable(label->text()));

    QCOMPARE(SystemClock(QLocale(QLocale::French)).weekdayName(QDate(2015, 3, 1)), u"dimanche"_s);
    const auto clock = [&] { return shown.ui.Picture1->printedLines() + shown.ui.Picture2->printedLines(); };
    QCOMPARE(clock(), QStringList());
    shown.seams.clock.moment = QDateTime(QDate(2014, 9, 24), QTime(23, 59, 59));
    shown.seams.clock.weekday = u"星期三"_s;
    QTRY_COMPARE(clock(), (QStringList{u" 2014 年 9 月 24 日 星期三 23 点 59 分 59 秒"_s,
                                       u" September  24 , 2014  Wednesday  23 : 59 : 59 "_s}));
    QVERIFY(showsWhole(shown.ui.Picture1) && showsWhole(shown.ui.Picture2));
    shown.seams.clock.moment = QDateTime(QDate(2014, 12, 26), QTime(0, 0));
    QTRY_COMPARE(clock(), (QStringList{u" 2014 年 12 月 26 日 星期三 0 点 0 分 0 秒"_s,
                                       u" December  26 , 2014  Friday  0 : 0 : 0 "_s}));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
