#pragma once

#include <QString>

namespace varnotel {

// Tooltips show their text as it is: a journal or file named "<b>x</b>" is
// shown with its brackets, never as bold text. Installed once for the whole
// program; covers widgets' own tooltips and those of list items.
void showToolTipsAsPlainText();

// The rich text that a tooltip shows the text with, character for character.
QString plainToolTipText(const QString &text);

} // namespace varnotel
