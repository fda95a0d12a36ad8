#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QString>

namespace varnotel {

// Writes a file that must not exist yet. The bytes go to a fresh file beside
// the target, which is then renamed without replacing: a file, folder or link
// that turns up at the target meanwhile is never written through or replaced,
// and a failed write leaves nothing behind.
Result createNewFile(FileSystem &fs, const QString &path, const QByteArray &bytes);

// A free name in the folder of path for a file that is to take path's place:
// short, so that even a target name at the length limit gets one, and hidden
// from file managers by its leading dot.
QString scratchPathBeside(const FileSystem &fs, const QString &path);

// Scratch files a crash left behind are removed, quietly: no listing shows
// them, and no person made them.
void removeLeftovers(FileSystem &fs, const QStringList &scratchPaths);
void removeLeftoversIn(FileSystem &fs, const QString &folder);

} // namespace varnotel
