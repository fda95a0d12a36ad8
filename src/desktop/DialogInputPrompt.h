#pragma once

#include "platform/InputPrompt.h"

namespace varnotel {

class DialogInputPrompt final : public InputPrompt {
public:
    QString ask(QWidget *parent, const QString &prompt, const QString &title,
                const QString &defaultText) override;
};

} // namespace varnotel
