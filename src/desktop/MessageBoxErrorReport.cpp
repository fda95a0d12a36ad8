#include "desktop/MessageBoxErrorReport.h"

#include <QMessageBox>
#include <QStringList>

namespace varnotel {

void MessageBoxErrorReport::report(QWidget *parent, const Failures &failures) {
    QStringList paragraphs;
    for (const Failure &failure : failures)
        paragraphs << failure.message;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Varnotel 1.0"),
                    paragraphs.join(QStringLiteral("\n\n")), QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定 OK"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace varnotel
