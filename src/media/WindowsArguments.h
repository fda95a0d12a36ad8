#pragma once

#include <QString>
#include <QStringList>

namespace varnotel {

// Splits the arguments part of a command line the way a Windows program's
// start-up code does: blanks, tabs, CR and LF separate arguments outside double
// quotes; double quotes group and are dropped, two of them inside a quoted part
// give one; backslashes count only before a double quote, where each pair gives
// one backslash and an odd one makes the quote literal.
QStringList splitWindowsArguments(const QString &arguments);

} // namespace varnotel
