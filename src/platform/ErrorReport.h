#pragma once

#include <QString>

class QWidget;

namespace varnotel {

// The one way failures reach the user: a bilingual message, after which the
// window stays usable.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    virtual void report(QWidget *parent, const QString &message) = 0;
};

} // namespace varnotel
