#include "platform/MessageBoxErrorReport.h"

#include <QMessageBox>

namespace varnotel {

void MessageBoxErrorReport::report(QWidget *parent, const QString &message) {
    QMessageBox::warning(parent, QStringLiteral("Varnotel 1.0"), message);
}

} // namespace varnotel
