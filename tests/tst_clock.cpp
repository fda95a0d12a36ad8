// The clock lines: the date and time in Chinese and English, redrawn whole
// at every tick of Timer1.
#include "library/ClockLines.h"
#include "mainwindow/PictureBox.h"
#include "platform/SystemClock.h"
#include "support/TempLibrary.h"
#include "support/WindowDriver.h"

#include <QtTest>

#include <memory>

using namespace varnotel;
using namespace varnotel::test;
using namespace Qt::StringLiterals;

namespace {

QDateTime at(int year, int month, int day, int hour, int minute, int second) {
    return {QDate(year, month, day), QTime(hour, minute, second)};
}

// A window on an empty library whose clock stands at the moment, shown until
// its first tick has drawn the lines.
std::unique_ptr<ShownWindow> tickedWindow(const TempLibrary &lib, const QDateTime &moment) {
    auto shown = std::make_unique<ShownWindow>(lib.appDir());
    shown->seams.clock.moment = moment;
    shown->seams.clock.weekday = u"星期三"_s;
    PictureBox *box = shown->window.Picture1;
    if (!QTest::qWaitFor([box] { return !box->printedLines().isEmpty(); }, 3000))
        qFatal("no clock tick within three seconds");
    return shown;
}

QList<QImage> clockImages(Form1 &w) { return {w.Picture1->grab().toImage(), w.Picture2->grab().toImage()}; }

} // namespace

class ClockTest : public QObject {
    Q_OBJECT
private slots:
    void linesForFixedMoments();
    void eachTickDrawsBothLinesAnew();
};

// The Chinese line takes the system's name for the weekday; the English line
// carries the English weekday whatever the system's language.
void ClockTest::linesForFixedMoments() {
    const QDateTime sunday = at(2015, 3, 1, 0, 0, 0);
    const QString dimanche =
        SystemClock(QLocale(QLocale::French, QLocale::France)).weekdayName(sunday.date());
    QCOMPARE(chineseClockLine(sunday, dimanche), u" 2015 年 3 月 1 日 dimanche 0 点 0 分 0 秒"_s);
    QCOMPARE(englishClockLine(sunday), u" March  1 , 2015  Sunday  0 : 0 : 0 "_s);
    QCOMPARE(SystemClock(QLocale(QLocale::Chinese, QLocale::China)).weekdayName(QDate(2014, 8, 7)),
             u"星期四"_s);
    QCOMPARE(englishClockLine(at(2016, 12, 26, 15, 5, 9)), u" December  26 , 2016  Monday  15 : 5 : 9 "_s);
}

// Empty until the first tick, then both lines painted whole in their boxes,
// also the widest ones; when 59 seconds turn to 0 the boxes look exactly as if
// the new moment had been the only one drawn: no old digit is left behind.
void ClockTest::eachTickDrawsBothLinesAnew() {
    TempLibrary lib;
    ShownWindow fresh(lib.appDir());
    const QColor paper = fresh.window.Picture1->palette().color(QPalette::Window);
    for (const QImage &image : clockImages(fresh.window))
        QVERIFY(inkBounds(image, paper).isEmpty());

    const std::unique_ptr<ShownWindow> ticking = tickedWindow(lib, at(2014, 9, 24, 23, 59, 59));
    Form1 &w = ticking->window;
    QCOMPARE(w.Picture1->printedLines() + w.Picture2->printedLines(),
             (QStringList{u" 2014 年 9 月 24 日 星期三 23 点 59 分 59 秒"_s,
                          u" September  24 , 2014  Wednesday  23 : 59 : 59 "_s}));
    QVERIFY(showsWhole(w.Picture1) && showsWhole(w.Picture2));
    const QList<QImage> before = clockImages(w);
    ticking->seams.clock.moment = at(2014, 9, 25, 0, 0, 0);
    QVERIFY(QTest::qWaitFor([&w] { return w.Picture2->printedLines().first().endsWith(u" 0 "_s); }, 3000));
    const QList<QImage> after = clockImages(w);
    QVERIFY(after != before);
    QCOMPARE(after, clockImages(tickedWindow(lib, at(2014, 9, 25, 0, 0, 0))->window));
}

QTEST_MAIN(ClockTest)
#include "tst_clock.moc"
