#include "library/JournalPresence.h"

#include "library/FolderScanner.h"
#include "library/LibraryPaths.h"

namespace varnotel {

bool journalStillListed(const FileSystem &fs, const QString &appDir, const QString &name) {
    if (fs.fileExists(paths::recordFile(appDir, Record::Journal, name)))
        return true;
    QStringList listed;
    sosuofile1(fs, paths::journalFolder(appDir), listed);
    return listed.contains(name);
}

} // namespace varnotel
