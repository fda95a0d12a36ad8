#include "examples/Drives.h"

#include "platform/Bilingual.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>

namespace varnotel {

namespace {

bool isBelow(const QString &path, const QString &root) {
    return path == root || root == QLatin1String("/") || path.startsWith(root + QLatin1Char('/'));
}

bool isSystemType(const QByteArray &type) {
    static const QList<QByteArray> kSystem{
        "autofs",   "binfmt_misc", "bpf",        "cgroup",    "cgroup2",  "configfs", "debugfs", "devpts",
        "devtmpfs", "efivarfs",    "fusectl",    "hugetlbfs", "mqueue",   "nsfs",     "overlay", "proc",
        "pstore",   "rpc_pipefs",  "securityfs", "selinuxfs", "squashfs", "sysfs",    "tracefs"};
    return kSystem.contains(type);
}

bool isSystemPlace(const QString &root) {
    if (isBelow(root, QStringLiteral("/run/media")))
        return false; // where some desktops mount sticks
    for (const QString &place :
         {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"), QStringLiteral("/run"),
          QStringLiteral("/boot"), QStringLiteral("/snap"), QStringLiteral("/var/lib")}) {
        if (isBelow(root, place))
            return true;
    }
    return false;
}

bool isPersonsVolume(const FileSystem &fs, const MountedVolume &volume) {
    const bool inMemory = volume.type == "tmpfs" || volume.type == "ramfs";
    return volume.ready && !isSystemType(volume.type) && !isSystemPlace(volume.root) &&
           (!inMemory || volume.root == QLatin1String("/tmp")) && fs.folderExists(volume.root);
}

QString textFor(const QString &root, const QString &name) {
    return root + QStringLiteral(" [") + name + u']';
}

} // namespace

QList<Drive> drivesToPick(const FileSystem &fs, const QString &home, const QList<MountedVolume> &volumes) {
    QList<Drive> drives{
        {QStringLiteral("/"),
         textFor(QStringLiteral("/"), bilingual(QStringLiteral("根文件夹"), QStringLiteral("Root folder")))}};
    const QString homeRoot = QDir::cleanPath(home);
    if (homeRoot != QLatin1String("/") && fs.folderExists(homeRoot))
        drives.append({homeRoot, textFor(homeRoot, bilingual(QStringLiteral("主文件夹"),
                                                             QStringLiteral("Home folder")))});
    QList<MountedVolume> sorted = volumes;
    std::sort(sorted.begin(), sorted.end(),
              [](const MountedVolume &a, const MountedVolume &b) { return a.root < b.root; });
    for (const MountedVolume &volume : sorted) {
        const QString root = QDir::cleanPath(volume.root);
        const bool listed = std::any_of(drives.cbegin(), drives.cend(),
                                        [&](const Drive &drive) { return drive.root == root; });
        if (listed || !isPersonsVolume(fs, volume))
            continue;
        drives.append({root, textFor(root, volume.name.isEmpty() ? root.mid(root.lastIndexOf(u'/') + 1)
                                                                 : volume.name)});
    }
    return drives;
}

QList<MountedVolume> mountedVolumes() {
    QList<MountedVolume> volumes;
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes())
        volumes.append({storage.rootPath(), storage.fileSystemType(), storage.name(),
                        storage.isValid() && storage.isReady()});
    return volumes;
}

qsizetype driveOf(const QList<Drive> &drives, const QString &folder) {
    qsizetype best = 0;
    for (qsizetype i = 0; i < drives.size(); ++i) {
        if (isBelow(folder, drives.at(i).root) && drives.at(i).root.size() > drives.at(best).root.size())
            best = i;
    }
    return best;
}

} // namespace varnotel
