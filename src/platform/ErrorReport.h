#pragma once

#include "platform/Failure.h"

class QWidget;

namespace varnotel {

// The one way failures reach the user: every failure of one action in one
// message, after which the window stays usable.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    virtual void report(QWidget *parent, const Failures &failures) = 0;
};

} // namespace varnotel
