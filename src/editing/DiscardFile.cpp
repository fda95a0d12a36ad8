#include "editing/DiscardFile.h"

namespace varnotel {

FsResult discardFile(FileSystem &fs, const QString &path) {
    if (fs.moveToTrash(path))
        return FsResult::success();
    return fs.removeFile(path);
}

} // namespace varnotel
