#include "mainwindow/PrintedLines.h"

#include <QFontMetrics>
#include <QPainter>

namespace varnotel {

void PrintedLines::paint(QPainter &painter, const QFont &font) const {
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int baseline = metrics.ascent();
    for (const QString &line : m_lines) {
        painter.drawText(0, baseline, line);
        baseline += metrics.height();
    }
}

} // namespace varnotel
