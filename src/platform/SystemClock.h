#pragma once

#include "platform/Clock.h"

namespace varnotel {

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    QString weekdayName(const QDate &date) const override;
};

} // namespace varnotel
