#pragma once

#include <QString>

class QWidget;

namespace varnotel {

// The modal input box: returns the typed text, or the empty text on cancel.
class InputPrompt {
public:
    virtual ~InputPrompt() = default;
    virtual QString ask(QWidget *parent, const QString &prompt, const QString &title,
                        const QString &defaultText) = 0;
};

} // namespace varnotel
