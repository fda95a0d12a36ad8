#include "desktop/PlainToolTips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPointer>
#include <QToolTip>

namespace varnotel {

namespace {

// Qt guesses whether a tooltip is rich text from its first characters; the
// guess is taken away by handing every tooltip over as escaped rich text.
class PlainToolTipFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(widget, help->pos());
        if (text.isEmpty())
            return false;
        QToolTip::showText(help->globalPos(), plainToolTipText(text), widget);
        return true;
    }

private:
    // A list's rows may carry tooltips of their own, asked of its viewport.
    static QString toolTipAt(QWidget *widget, const QPoint &pos) {
        if (auto *view = qobject_cast<QAbstractItemView *>(widget->parentWidget());
            view && view->viewport() == widget) {
            if (const QString item = view->indexAt(pos).data(Qt::ToolTipRole).toString(); !item.isEmpty())
                return item;
        }
        return widget->toolTip();
    }
};

} // namespace

QString plainToolTipText(const QString &text) {
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void showToolTipsAsPlainText() {
    static QPointer<PlainToolTipFilter> filter; // gone with the application it belongs to
    if (filter || !qApp)
        return;
    filter = new PlainToolTipFilter(qApp);
    qApp->installEventFilter(filter);
}

} // namespace varnotel
