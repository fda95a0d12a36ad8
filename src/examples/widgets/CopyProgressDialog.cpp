#include "examples/widgets/CopyProgressDialog.h"

#include "examples/ArticlePath.h"
#include "platform/Bilingual.h"

#include <QCoreApplication>

#include <algorithm>

namespace varnotel {

namespace {

// Steps of the bar: a file of any size fits an int range.
constexpr int kSteps = 1000;

} // namespace

CopyProgressDialog::CopyProgressDialog(QWidget *parent) : m_dialog(parent) {
    m_dialog.setWindowTitle(QStringLiteral("导入文件 Import Files"));
    m_dialog.setCancelButtonText(QStringLiteral("取消 Cancel"));
    m_dialog.setWindowModality(Qt::ApplicationModal);
    m_dialog.setMinimumDuration(500);
    m_dialog.setRange(0, kSteps);
}

ImportProgress CopyProgressDialog::progress() {
    return [this](const QString &source) { return forFile(source); };
}

CopyProgress CopyProgressDialog::forFile(const QString &source) {
    m_dialog.reset(); // each file gets its own half second
    m_dialog.setLabelText(bilingual(QStringLiteral("正在导入"), QStringLiteral("Importing")) +
                          QLatin1Char('\n') + fileNameOf(source));
    m_dialog.setValue(0);
    return [this](qint64 copied, qint64 total) { return told(copied, total); };
}

// Events are let through only once the modal dialog is up: before that, a
// click could start another import or close a window in the middle of this one.
bool CopyProgressDialog::told(qint64 copied, qint64 total) {
    const qint64 step = total > 0 ? std::min(copied, total) * kSteps / total : kSteps;
    m_dialog.setValue(static_cast<int>(step));
    if (m_dialog.isVisible())
        QCoreApplication::processEvents();
    return !m_dialog.wasCanceled();
}

} // namespace varnotel
