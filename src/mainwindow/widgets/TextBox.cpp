#include "mainwindow/widgets/TextBox.h"

#include <QStringList>

namespace varnotel {

namespace {

// Laying out one line of a megabyte (a notes file without line ends, a file
// of zeros) takes the text layout a minute, while nobody reads that far
// along one line: a line is shown up to this length, then cut with an ellipsis.
constexpr qsizetype kLongestShownLine = 4000;

QString linesAsShown(const QString &text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1); // the final line end opens no new line
    QStringList lines = shown.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.size() > kLongestShownLine)
            line = line.left(kLongestShownLine) + QChar(0x2026);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TextBox::TextBox(QWidget *parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TextBox::setText(const QString &text) {
    m_text = text;
    setPlainText(linesAsShown(text));
}

} // namespace varnotel
