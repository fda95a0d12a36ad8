#include "platform/SystemClock.h"

namespace varnotel {

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

QString SystemClock::weekdayName(const QDate &date) const {
    return m_language.dayName(date.dayOfWeek(), QLocale::LongFormat);
}

} // namespace varnotel
