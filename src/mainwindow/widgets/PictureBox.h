#pragma once

#include "mainwindow/widgets/PrintedLines.h"

#include <QWidget>

namespace varnotel {

// A white box that text is printed on, line by line, and cleared.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void clear();
    void printLine(const QString &line);
    const QStringList &printedLines() const { return m_printed.lines(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PrintedLines m_printed;
};

} // namespace varnotel
