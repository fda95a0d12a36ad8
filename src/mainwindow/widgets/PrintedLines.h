#pragma once

#include <QStringList>

class QFont;
class QPainter;

namespace varnotel {

// Text printed line by line on a surface, from its top-left corner, kept so
// that it can be drawn again until the surface is cleared.
class PrintedLines {
public:
    void clear() { m_lines.clear(); }
    void print(const QString &line) { m_lines.append(line); }
    const QStringList &lines() const { return m_lines; }
    void paint(QPainter &painter, const QFont &font) const;

private:
    QStringList m_lines;
};

} // namespace varnotel
