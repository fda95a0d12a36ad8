#pragma once

#include <QString>

namespace varnotel {

// The start requests are kept in their Windows form, so that what is asked of
// the desktop stays the same on every system; desktopCommandFor reads them back.

// How the started program's first window is to be shown.
enum class WindowStyle { NormalFocus = 1, MinimizedFocus = 2 };

// rundll32 opening a file with the program associated with its type; ends in
// the double quote that opens the quoted path (38 characters).
inline constexpr QLatin1String kShellOpenPrefix{"rundll32 url.dll,FileProtocolHandler \""};

// The browser, with every separator doubled and no quotes (50 characters).
inline constexpr QLatin1String kBrowserPath{"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe"};

inline constexpr QLatin1String kBlogAddress{"https://varnotel.github.io/blog/"};

// The prefix, the path unchanged, a closing double quote.
QString shellOpenCommandLine(const QString &path);

// The browser path, one blank, the text unchanged.
QString browserCommandLine(const QString &text);

QString blogCommandLine();

} // namespace varnotel
