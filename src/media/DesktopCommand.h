#pragma once

#include <QString>
#include <QStringList>

namespace varnotel {

// The program and argv that carry out one start request on a Linux desktop,
// or the reason it is refused (bilingual). A file opens with the desktop's
// default program for its type, a web address (http or https only) in the
// default browser; the window style of the request is the desktop's affair.
// No shell is involved, and no text of the request can reach the started
// program as an option.
struct DesktopCommand {
    QString program;
    QStringList arguments;
    QString refusal;
    QString target; // the file or address as the user knows it, shortened for messages
};

DesktopCommand desktopCommandFor(const QString &commandLine);

} // namespace varnotel
