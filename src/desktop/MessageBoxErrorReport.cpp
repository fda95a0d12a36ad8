#include "desktop/MessageBoxErrorReport.h"

#include <QMessageBox>

namespace varnotel {

void MessageBoxErrorReport::report(QWidget *parent, const Failures &failures) {
    QStringList paragraphs;
    for (const Failure &failure : failures)
        paragraphs << failure.message;
    QMessageBox::warning(parent, QStringLiteral("Varnotel 1.0"), paragraphs.join(QStringLiteral("\n\n")));
}

} // namespace varnotel
