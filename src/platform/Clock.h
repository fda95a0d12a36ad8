#pragma once

#include <QDateTime>
#include <QString>

namespace varnotel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // The weekday's long name in the system's language.
    virtual QString weekdayName(const QDate &date) const = 0;
};

} // namespace varnotel
