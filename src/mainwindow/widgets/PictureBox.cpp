#include "mainwindow/widgets/PictureBox.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace varnotel {

namespace {

// What a screen reader reads of a picture box: its printed lines.
class AccessiblePictureBox final : public QAccessibleWidget {
public:
    explicit AccessiblePictureBox(PictureBox *box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        // Before anything is printed, what the box is for.
        const QStringList &lines = static_cast<const PictureBox *>(widget())->printedLines();
        if (kind == QAccessible::Name)
            return lines.isEmpty() ? widget()->accessibleDescription() : lines.join(QLatin1Char('\n'));
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *accessiblePictureBox(const QString &className, QObject *object) {
    if (className == QLatin1String(PictureBox::staticMetaObject.className()))
        return new AccessiblePictureBox(static_cast<PictureBox *>(object));
    return nullptr;
}

} // namespace

PictureBox::PictureBox(Changes changes, QWidget *parent) : QWidget(parent), m_changes(changes) {
    static const bool readable = [] {
        QAccessible::installFactory(accessiblePictureBox);
        return true;
    }();
    Q_UNUSED(readable);
    setFocusPolicy(Qt::TabFocus); // a stop in the window's tab order, like any picture box
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
}

void PictureBox::clear() {
    m_printed.clear();
    changed();
}

void PictureBox::printLine(const QString &line) {
    m_printed.print(line);
    changed();
}

void PictureBox::changed() {
    update();
    if (m_changes == Changes::Announced) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

// The box shows that it has the focus, as every other stop of the tab order does.
void PictureBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    m_printed.paint(painter, font());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void PictureBox::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace varnotel
