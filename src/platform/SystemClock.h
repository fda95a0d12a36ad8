#pragma once

#include "platform/Clock.h"

#include <QLocale>

namespace varnotel {

// The local time, and weekday names in the given language (the system's,
// unless told otherwise).
class SystemClock final : public Clock {
public:
    explicit SystemClock(const QLocale &language = QLocale::system()) : m_language(language) {}

    QDateTime now() const override;
    QString weekdayName(const QDate &date) const override;

private:
    QLocale m_language;
};

} // namespace varnotel
