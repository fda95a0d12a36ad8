// Whatever a homepage file or an article's path holds, the desktop is asked
// for one thing only: xdg-open with one argument that is a web address with
// a host (for the browser) or the file (for a path), never an option and
// never empty.
#include "Check.h"
#include "launch/HomepageAddress.h"
#include "launch/StartRequest.h"

#include <QString>
#include <QUrl>

using namespace varnotel;

namespace {

void checkStart(const DesktopCommand &command) {
    if (command.refusal) {
        FUZZ_CHECK(command.argv.isEmpty());
        FUZZ_CHECK(!command.refusal->message.isEmpty());
        return;
    }
    FUZZ_CHECK(command.argv.size() == 2);
    FUZZ_CHECK(command.argv.first() == QLatin1String("xdg-open"));
    FUZZ_CHECK(!command.argv.last().isEmpty());
    FUZZ_CHECK(!command.argv.last().startsWith(QLatin1Char('-')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const DesktopCommand browse = desktopCommandFor(webPageRequest(homepageAddress(text)));
    checkStart(browse);
    if (!browse.refusal) {
        const QUrl address(browse.argv.last());
        const QString scheme = address.scheme().toLower();
        FUZZ_CHECK(scheme == QLatin1String("http") || scheme == QLatin1String("https"));
        FUZZ_CHECK(!address.host().isEmpty());
    }
    const DesktopCommand open = desktopCommandFor(fileRequest(text));
    checkStart(open);
    if (!open.refusal)
        FUZZ_CHECK(open.argv.last() == text || open.argv.last() == QStringLiteral("./") + text);
    return 0;
}
