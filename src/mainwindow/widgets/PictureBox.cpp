#include "mainwindow/widgets/PictureBox.h"

#include <QPainter>

namespace varnotel {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus); // a stop in the window's tab order, like any picture box
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
}

void PictureBox::clear() {
    m_printed.clear();
    update();
}

void PictureBox::printLine(const QString &line) {
    m_printed.print(line);
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    m_printed.paint(painter, font());
}

} // namespace varnotel
