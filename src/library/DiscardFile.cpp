#include "library/DiscardFile.h"

#include "library/Trash.h"

namespace varnotel {

Result discardFile(FileSystem &fs, const QString &path) {
    if (moveToHomeTrash(fs, path))
        return Result::success();
    return fs.removeFile(path);
}

} // namespace varnotel
