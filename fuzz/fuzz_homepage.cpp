// Whatever a homepage file or an article's path holds, the desktop is asked
// for one thing only: xdg-open with one argument that is a web address with
// a host (for the browser) or the file (for a path), never an option and
// never empty.
#include "Check.h"
#include "launch/CommandLines.h"
#include "launch/DesktopCommand.h"
#include "launch/HomepageAddress.h"

#include <QString>
#include <QUrl>

using namespace varnotel;

namespace {

void checkStart(const DesktopCommand &command) {
    if (!command.refusal.isEmpty()) {
        FUZZ_CHECK(command.arguments.isEmpty());
        return;
    }
    FUZZ_CHECK(command.program == QLatin1String("xdg-open"));
    FUZZ_CHECK(command.arguments.size() == 1 && !command.arguments.first().isEmpty());
    FUZZ_CHECK(!command.arguments.first().startsWith(QLatin1Char('-')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    holdsHomepageAddress(text);
    const DesktopCommand browse = desktopCommandFor(browserCommandLine(text));
    checkStart(browse);
    if (browse.refusal.isEmpty()) {
        const QUrl address(browse.arguments.first());
        const QString scheme = address.scheme().toLower();
        FUZZ_CHECK(scheme == QLatin1String("http") || scheme == QLatin1String("https"));
        FUZZ_CHECK(!address.host().isEmpty());
    }
    const DesktopCommand open = desktopCommandFor(shellOpenCommandLine(text));
    checkStart(open);
    if (open.refusal.isEmpty())
        FUZZ_CHECK(open.arguments.first() == text || open.arguments.first() == QStringLiteral("./") + text);
    return 0;
}
