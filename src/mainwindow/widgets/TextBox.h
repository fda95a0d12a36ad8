#pragma once

#include <QPlainTextEdit>

namespace varnotel {

// A multi-line display box. It keeps the exact text it was given (lines
// ending in CR LF) and shows it as lines; the program never reads it back
// from the user, so it is read-only.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace varnotel
