#include "library/BlankJournal.h"

#include "library/LibraryPaths.h"

namespace varnotel {

PurgeOutcome purgeBlankJournal(FileSystem &fs, const QString &appDir) {
    for (const QString &path : paths::blankNamePaths(appDir)) {
        if (fs.fileExists(path))
            return {path, fs.removeFile(path)};
    }
    return {};
}

} // namespace varnotel
