#pragma once

#include "platform/ErrorReport.h"

namespace varnotel {

class MessageBoxErrorReport final : public ErrorReport {
public:
    void report(QWidget *parent, const Failures &failures) override;
};

} // namespace varnotel
