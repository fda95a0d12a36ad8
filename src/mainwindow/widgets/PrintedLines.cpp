#include "mainwindow/widgets/PrintedLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace varnotel {

// A line stands as high as the tallest font it uses (a Chinese fallback reaches
// higher than Times New Roman), so its glyphs are never cut at the top; the
// print position then moves down past the surface font's descent, as printing
// one line of that font does.
void PrintedLines::paint(QPainter &painter, const QFont &font) const {
    const qreal descent = QFontMetricsF(font).descent();
    qreal top = 0;
    for (const QString &text : m_lines) {
        QTextLayout layout(text, font, painter.device());
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        layout.draw(&painter, QPointF(0, top));
        top += line.ascent() + descent;
    }
}

} // namespace varnotel
