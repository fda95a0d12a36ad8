#include "platform/SystemClock.h"

#include <QLocale>

namespace varnotel {

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

QString SystemClock::weekdayName(const QDate &date) const {
    return QLocale::system().dayName(date.dayOfWeek(), QLocale::LongFormat);
}

} // namespace varnotel
