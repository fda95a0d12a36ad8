// Compiled with the store's settings only: it must fail, because the store
// does not see the widget headers. Everything else here is valid.
#include "library/LibraryPaths.h"

#include <QWidget>

QString journalFolderOf(const QString &appDir) { return varnotel::paths::journalFolder(appDir); }
