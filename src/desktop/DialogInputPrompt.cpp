#include "desktop/DialogInputPrompt.h"

#include <QInputDialog>

namespace varnotel {

QString DialogInputPrompt::ask(QWidget *parent, const QString &prompt, const QString &title,
                               const QString &defaultText) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("确定 OK"));
    dialog.setCancelButtonText(QStringLiteral("取消 Cancel"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

} // namespace varnotel
