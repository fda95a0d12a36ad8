#pragma once

#include "mainwindow/widgets/PrintedLines.h"

#include <QWidget>

namespace varnotel {

// A white box that text is printed on, line by line, and cleared. A screen
// reader reads the printed lines as the box's text.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    // Whether a screen reader is told each time the lines change: yes for
    // what changes because of the person, no for a clock that ticks.
    enum class Changes { Announced, Quiet };

    explicit PictureBox(Changes changes, QWidget *parent = nullptr);

    void clear();
    void printLine(const QString &line);
    const QStringList &printedLines() const { return m_printed.lines(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void changed();

    PrintedLines m_printed;
    Changes m_changes;
};

} // namespace varnotel
