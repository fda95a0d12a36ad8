#include "mainwindow/ClockLines.h"

#include <array>

namespace varnotel {

namespace {

const std::array<QString, 12> kMonths{
    QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
    QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
    QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
    QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};

// Monday first, as QDate::dayOfWeek counts.
const std::array<QString, 7> kWeekdays{QStringLiteral("Monday"),    QStringLiteral("Tuesday"),
                                       QStringLiteral("Wednesday"), QStringLiteral("Thursday"),
                                       QStringLiteral("Friday"),    QStringLiteral("Saturday"),
                                       QStringLiteral("Sunday")};

} // namespace

QString clockNumber(int value) { return QLatin1Char(' ') + QString::number(value) + QLatin1Char(' '); }

QString chineseClockLine(const QDateTime &moment, const QString &weekdayName) {
    if (!moment.isValid())
        return {};
    const QDate date = moment.date();
    const QTime time = moment.time();
    return clockNumber(date.year()) + QStringLiteral("年") + clockNumber(date.month()) +
           QStringLiteral("月") + clockNumber(date.day()) + QStringLiteral("日 ") + weekdayName +
           clockNumber(time.hour()) + QStringLiteral("点") + clockNumber(time.minute()) +
           QStringLiteral("分") + clockNumber(time.second()) + QStringLiteral("秒");
}

QString englishClockLine(const QDateTime &moment) {
    // The weekday comes from the date itself, so the line is whole whatever
    // language the system names its weekdays in.
    if (!moment.isValid())
        return {};
    const QDate date = moment.date();
    const QTime time = moment.time();
    return QLatin1Char(' ') + kMonths.at(date.month() - 1) + QLatin1Char(' ') + clockNumber(date.day()) +
           QLatin1Char(',') + clockNumber(date.year()) + QLatin1Char(' ') +
           kWeekdays.at(date.dayOfWeek() - 1) + QLatin1Char(' ') + clockNumber(time.hour()) +
           QLatin1Char(':') + clockNumber(time.minute()) + QLatin1Char(':') + clockNumber(time.second());
}

} // namespace varnotel
