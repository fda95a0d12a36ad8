#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace varnotel {

// A place the import dialog's drive list offers: its root folder, and the
// text shown for it.
struct Drive {
    QString root;
    QString text;
};

// A mounted file system as the system reports it.
struct MountedVolume {
    QString root;
    QByteArray type;
    QString name; // the volume's label, often empty
    bool ready = true;
};

// The drives a person would pick: the root folder, the home folder, then every
// mounted volume that holds a person's files, by its root's name; the
// system's own mounts (proc, sysfs, cgroups, devices, /run, /boot, snaps,
// container layers, memory file systems other than /tmp) and mounts of a
// single file are left out. Each root comes once.
QList<Drive> drivesToPick(const FileSystem &fs, const QString &home, const QList<MountedVolume> &volumes);

// The volumes mounted now.
QList<MountedVolume> mountedVolumes();

// The drive a folder lies on: the one with the longest root that holds it; 0
// (the root folder) when none does.
qsizetype driveOf(const QList<Drive> &drives, const QString &folder);

} // namespace varnotel
