#pragma once

#include "platform/Failure.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnotel {

// What the program asks the desktop for: a file opened with the program the
// desktop associates with its type (an article, a field file, the manual), or
// a web page in the browser.
struct StartRequest {
    enum class Kind { File, WebPage };
    Kind kind = Kind::File;
    QString target; // the file's path, or the address
};

inline StartRequest fileRequest(const QString &path) { return {StartRequest::Kind::File, path}; }
inline StartRequest webPageRequest(const QString &address) { return {StartRequest::Kind::WebPage, address}; }

inline constexpr QLatin1String kBlogAddress{"https://varnotel.github.io/blog/"};

// The argv that carries out a start request on a Linux desktop: xdg-open and
// one argument, the file or the address, which can never read as an option.
// Only web addresses (http or https, with a host) go to the browser; an
// address without a scheme ("www.nature.com") is a web address. No shell is
// ever involved.
struct DesktopCommand {
    QStringList argv;               // the program, then its one argument; empty when refused
    std::optional<Failure> refusal; // why nothing is started
    QString target;                 // the file or address as the person knows it, shortened for messages
};

DesktopCommand desktopCommandFor(const StartRequest &request);

} // namespace varnotel
