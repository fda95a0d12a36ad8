// A name the check lets through makes record files that stay in their own
// folder, that the file system can hold and that Windows could hold too (none
// of / \ : * ? " < > | nor a control character); and the journal list gives
// that very name back from the file.
#include "Check.h"
#include "editing/JournalName.h"
#include "library/FolderScanner.h"
#include "library/LibraryPaths.h"

#include <QFile>
#include <QString>

using namespace varnotel;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
    const QString name =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (name.isEmpty() || !journalNameProblem(name).isEmpty())
        return 0;
    const QString folder = QStringLiteral("/app/IF/");
    const QString path = paths::recordFile(QStringLiteral("/app"), Record::ImpactFactor, name);
    FUZZ_CHECK(path.startsWith(folder));
    const QString fileName = path.mid(folder.size());
    FUZZ_CHECK(!fileName.contains(QLatin1Char('/')) && !fileName.contains(QChar(0)));
    FUZZ_CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
    for (const QChar c : name)
        FUZZ_CHECK(!QStringLiteral("/\\:*?\"<>|").contains(c) && c.category() != QChar::Other_Control);
    FUZZ_CHECK(QFile::encodeName(fileName).size() <= kMaxFileNameBytes);
    FUZZ_CHECK(withoutLastFourCharacters(fileName) == name);
    FUZZ_CHECK(hasOwnExampleFolder(name));
    return 0;
}
