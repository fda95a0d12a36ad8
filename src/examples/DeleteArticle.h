#pragma once

#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QString>
#include <QStringList>

namespace varnotel {

struct ArticleDeletion {
    QString deleted;   // the file removed or moved to the trash, empty when none
    Failures failures; // one per problem
};

// Deletes the article the example list found at this path, into the trash
// where there is one. An article no longer there (or the empty path: nothing
// selected) deletes nothing and is no error. Only the library's own files are
// deleted: an article reached through a linked folder lies elsewhere and is
// left, with a message.
ArticleDeletion deleteArticle(FileSystem &fs, const QString &appDir, const QString &path);

} // namespace varnotel
