#pragma once

#include <QString>

namespace varnotel {

// The address a homepage file gives the browser: its first word (blanks, tabs
// and line ends separate words; double quotes, as the program writes the
// value, are dropped). Empty when there is none, or while the file still
// holds its untouched default "http:".
QString homepageAddress(const QString &homepageText);

} // namespace varnotel
