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

struct Moment {
    QDateTime at;
    QLocale language; // the system's, which names the weekday of the first line
    QString chinese;
    QString english;
};

QDateTime at(int year, int month, int day, int hour, int minute, int second) {
    return {QDate(year, month, day), QTime(hour, minute, second)};
}

const QLocale kChinese(QLocale::Chinese, QLocale::China);

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

Q_DECLARE_METATYPE(Moment)

class ClockTest : public QObject {
    Q_OBJECT
private slots:
    void linesForFixedMoments_data();
    void linesForFixedMoments();
    void eachTickDrawsBothLinesAnew();
};

void ClockTest::linesForFixedMoments_data() {
    QTest::addColumn<Moment>("moment");
    QTest::newRow("Chinese system") << Moment{at(2014, 8, 7, 15, 5, 9), kChinese,
                                              u" 2014 年 8 月 7 日 星期四 15 点 5 分 9 秒"_s,
                                              u" August  7 , 2014  Thursday  15 : 5 : 9 "_s};
    QTest::newRow("single digits, French system")
        << Moment{at(2015, 3, 1, 9, 5, 3), QLocale(QLocale::French, QLocale::France),
                  u" 2015 年 3 月 1 日 dimanche 9 点 5 分 3 秒"_s, u" March  1 , 2015  Sunday  9 : 5 : 3 "_s};
    QTest::newRow("midnight, Chinese system")
        << Moment{at(2014, 12, 31, 0, 0, 0), kChinese, u" 2014 年 12 月 31 日 星期三 0 点 0 分 0 秒"_s,
                  u" December  31 , 2014  Wednesday  0 : 0 : 0 "_s};
    QTest::newRow("English system") << Moment{at(2016, 2, 29, 23, 59, 59), QLocale(QLocale::English),
                                              u" 2016 年 2 月 29 日 Monday 23 点 59 分 59 秒"_s,
                                              u" February  29 , 2016  Monday  23 : 59 : 59 "_s};
}

// The English line carries the English weekday whatever the system's language.
void ClockTest::linesForFixedMoments() {
    QFETCH(Moment, moment);
    const SystemClock clock(moment.language);
    QCOMPARE(chineseClockLine(moment.at, clock.weekdayName(moment.at.date())), moment.chinese);
    QCOMPARE(englishClockLine(moment.at), moment.english);
}

// Empty until the first tick, then both lines painted whole in their boxes,
// also the widest ones; when 59 seconds turn to 0 the boxes look exactly as if the new moment had
// been the only one drawn: no old digit is left behind.
void ClockTest::eachTickDrawsBothLinesAnew() {
    TempLibrary lib;
    ShownWindow fresh(lib.appDir());
    const QColor paper = fresh.window.Picture1->palette().color(QPalette::Window);
    for (const QImage &image : clockImages(fresh.window))
        QVERIFY(inkBounds(image, paper).isEmpty());

    const std::unique_ptr<ShownWindow> ticking = tickedWindow(lib, at(2014, 9, 24, 23, 59, 59));
    Form1 &w = ticking->window;
    QCOMPARE(w.Picture1->printedLines(), QStringList{u" 2014 年 9 月 24 日 星期三 23 点 59 分 59 秒"_s});
    QCOMPARE(w.Picture2->printedLines(), QStringList{u" September  24 , 2014  Wednesday  23 : 59 : 59 "_s});
    QVERIFY(showsWhole(w.Picture1));
    QVERIFY(showsWhole(w.Picture2));
    const QList<QImage> before = clockImages(w);

    ticking->seams.clock.moment = at(2014, 9, 25, 0, 0, 0);
    QVERIFY(QTest::qWaitFor([&w] { return w.Picture2->printedLines().first().endsWith(u" 0 "_s); }, 3000));
    const QList<QImage> after = clockImages(w);
    QVERIFY(after != before);
    QCOMPARE(after, clockImages(tickedWindow(lib, at(2014, 9, 25, 0, 0, 0))->window));
}

QTEST_MAIN(ClockTest)
#include "tst_clock.moc"
