#include "support/TempLibrary.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <stdexcept>

namespace varnotel::test {

using namespace Qt::StringLiterals;

TempLibrary::TempLibrary() {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    for (const QStringView folder : {u"Journal", u"IF", u"Homepage", u"Notes", u"Example", u"BGM"})
        makeFolder(folder);
}

TempLibrary::~TempLibrary() {
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(appDir()).toStdString(), ignored);
}

QString TempLibrary::path(QStringView relative) const { return appDir() + u'/' + relative.toString(); }

void TempLibrary::makeFolder(QStringView relative) const {
    if (!QDir().mkpath(path(relative)))
        throw std::runtime_error("cannot make a folder");
}

void TempLibrary::write(QStringView relative, const QByteArray &bytes) const {
    QDir().mkpath(QFileInfo(path(relative)).path());
    QFile file(path(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QByteArray TempLibrary::read(QStringView relative) const {
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

bool TempLibrary::exists(QStringView relative) const { return QFileInfo::exists(path(relative)); }

bool TempLibrary::remove(QStringView relative) const {
    const QFileInfo info(path(relative));
    if (info.isDir() && !info.isSymLink())
        return QDir(info.filePath()).removeRecursively();
    return QFile::remove(info.filePath());
}

QStringList TempLibrary::tree() const {
    QStringList result;
    QDirIterator it(appDir(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir root(appDir());
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        result << root.relativeFilePath(info.filePath()) +
                      (info.isDir() && !info.isSymLink() ? u"/"_s : QString());
    }
    result.sort();
    return result;
}

QMap<QString, QByteArray> TempLibrary::files(QStringView folder) const {
    QMap<QString, QByteArray> result;
    const QString prefix = folder.toString() + u'/';
    for (const QString &entry : tree()) {
        if (entry.startsWith(prefix) && QFileInfo(path(entry)).isFile())
            result.insert(entry.mid(prefix.size()), read(entry));
    }
    return result;
}

Snapshot TempLibrary::snapshot() const {
    Snapshot result;
    for (const QString &entry : tree()) {
        const QFileInfo info(path(entry));
        result.insert(entry, info.isSymLink() ? "-> " + QFile::encodeName(info.symLinkTarget())
                             : info.isFile()  ? read(entry)
                                              : QByteArray());
    }
    return result;
}

TreeChange changeBetween(const Snapshot &before, const Snapshot &after) {
    TreeChange change;
    for (auto entry = after.cbegin(); entry != after.cend(); ++entry) {
        if (!before.contains(entry.key()))
            change.made << entry.key();
        else if (before.value(entry.key()) != entry.value())
            change.changed << entry.key();
    }
    for (auto entry = before.cbegin(); entry != before.cend(); ++entry) {
        if (!after.contains(entry.key()))
            change.gone << entry.key();
    }
    return change;
}

char *toString(const TreeChange &change) {
    const QString text = u"made [%1], gone [%2], changed [%3]"_s.arg(
        change.made.join(u", "), change.gone.join(u", "), change.changed.join(u", "));
    return qstrdup(text.toUtf8().constData());
}

void TempLibrary::addJournal(QStringView name) const {
    const QString file = name.toString() + u".txt"_s;
    write(u"Journal/"_s + file, "\"\"\r\n");
    write(u"IF/"_s + file, "\"IF:\"\r\n");
    write(u"Homepage/"_s + file, "\"http:\"\r\n");
    write(u"Notes/"_s + file, "\"" + name.toUtf8() + ":\"\r\n");
}

} // namespace varnotel::test
