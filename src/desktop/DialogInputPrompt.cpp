#include "desktop/DialogInputPrompt.h"

#include <QInputDialog>

namespace varnotel {

QString DialogInputPrompt::ask(QWidget *parent, const QString &prompt, const QString &title,
                               const QString &defaultText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

} // namespace varnotel
