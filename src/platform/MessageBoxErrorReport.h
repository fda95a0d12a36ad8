#pragma once

#include "platform/ErrorReport.h"

namespace varnotel {

class MessageBoxErrorReport final : public ErrorReport {
public:
    void report(QWidget *parent, const QString &message) override;
};

} // namespace varnotel
