#include "support/TempLibrary.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace varnotel::test {

TempLibrary::TempLibrary(bool withFolders) {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    if (withFolders) {
        for (const char *folder : {"Journal", "IF", "Homepage", "Notes", "Example", "BGM"})
            makeFolder(QLatin1String(folder));
    }
}

void TempLibrary::makeFolder(const QString &relative) const {
    if (!QDir().mkpath(path(relative)))
        throw std::runtime_error("cannot make a folder");
}

void TempLibrary::write(const QString &relative, const QByteArray &bytes) const {
    QDir().mkpath(QFileInfo(path(relative)).path());
    QFile file(path(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QByteArray TempLibrary::read(const QString &relative) const {
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool TempLibrary::exists(const QString &relative) const { return QFileInfo::exists(path(relative)); }

bool TempLibrary::isFolder(const QString &relative) const { return QFileInfo(path(relative)).isDir(); }

QStringList TempLibrary::tree() const {
    QStringList result;
    QDirIterator it(appDir(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir root(appDir());
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        result << root.relativeFilePath(info.filePath()) + (info.isDir() && !info.isSymLink() ? "/" : "");
    }
    result.sort();
    return result;
}

void TempLibrary::addJournal(const QString &name) const {
    write(QStringLiteral("Journal/") + name + ".txt", "\"\"\r\n");
    write(QStringLiteral("IF/") + name + ".txt", "\"IF:\"\r\n");
    write(QStringLiteral("Homepage/") + name + ".txt", "\"http:\"\r\n");
    write(QStringLiteral("Notes/") + name + ".txt", "\"" + name.toUtf8() + ":\"\r\n");
}

} // namespace varnotel::test
