#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace varnotel::test {

// A throw-away application folder holding the five library folders and BGM.
class TempLibrary {
public:
    explicit TempLibrary(bool withFolders = true);

    QString appDir() const { return m_dir.path(); }
    QString path(const QString &relative) const { return appDir() + QLatin1Char('/') + relative; }

    void makeFolder(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;
    bool exists(const QString &relative) const;
    bool isFolder(const QString &relative) const;
    // Every entry below the application folder, relative, sorted; folders end in "/".
    QStringList tree() const;

    // A journal as the program makes it: four record files with their defaults.
    void addJournal(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace varnotel::test
