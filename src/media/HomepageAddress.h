#pragma once

#include <QString>

namespace varnotel {

// Whether a homepage file's text, as read for display, gives the browser
// something to open: not when it is empty or blank, and not while it still
// holds the untouched default "http:".
bool holdsHomepageAddress(const QString &homepageText);

} // namespace varnotel
