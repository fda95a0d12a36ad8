// A name the check lets through makes record files that stay in their own
// folder and that the file system can hold, gives the journal an example
// folder of its own, and comes back from the journal list as that very name.
#include "Check.h"
#include "editing/JournalName.h"
#include "library/FolderScanner.h"
#include "library/LibraryPaths.h"
#include "platform/FileNames.h"

#include <QString>

using namespace varnotel;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QString name =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (name.isEmpty() || journalNameProblem(name))
        return 0;
    const QString folder = QStringLiteral("/app/IF/");
    const QString path = paths::recordFile(QStringLiteral("/app"), Record::ImpactFactor, name);
    FUZZ_CHECK(path.startsWith(folder));
    const QString fileName = path.mid(folder.size());
    FUZZ_CHECK(staysInLibrary(name) && hasOwnExampleFolder(name));
    FUZZ_CHECK(bytesFromName(fileName).size() <= kMaxFileNameBytes);
    FUZZ_CHECK(withoutLastFourCharacters(fileName) == name);
    return 0;
}
