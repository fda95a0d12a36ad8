#pragma once

#include "examples/ImportArticle.h"

#include <QProgressDialog>

namespace varnotel {

// The progress of an import's copies. It shows itself once a copy looks like
// taking more than about half a second, with a Cancel button; while it is
// shown, every window is painted and the button answers, and as it is modal
// nothing else can start meanwhile. A short copy shows nothing.
class CopyProgressDialog {
public:
    explicit CopyProgressDialog(QWidget *parent);

    ImportProgress progress();

private:
    CopyProgress forFile(const QString &source);
    bool told(qint64 copied, qint64 total);

    QProgressDialog m_dialog;
};

} // namespace varnotel
