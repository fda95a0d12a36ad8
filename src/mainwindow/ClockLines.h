#pragma once

#include <QDateTime>
#include <QString>

namespace varnotel {

// Both lines are empty for a moment that is not a valid date and time.

// A number of the clock lines: no leading zeros, one blank before and after.
QString clockNumber(int value);

// The date and time in Chinese, with the weekday's name as the system gives it:
// " 2014 年 8 月 7 日 星期四 15 点 5 分 9 秒".
QString chineseClockLine(const QDateTime &moment, const QString &weekdayName);

// The same moment in English, with the English weekday of its date:
// " August  7 , 2014  Thursday  15 : 5 : 9 ".
QString englishClockLine(const QDateTime &moment);

} // namespace varnotel
