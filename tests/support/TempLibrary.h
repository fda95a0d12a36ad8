#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTemporaryDir>

namespace varnotel::test {

// A throw-away application folder holding the five library folders and BGM.
// Paths are relative to it; u"..." literals serve as they are.
class TempLibrary {
public:
    explicit TempLibrary(bool withFolders = true);

    QString appDir() const { return m_dir.path(); }
    QString path(QStringView relative) const;

    void makeFolder(QStringView relative) const;
    void write(QStringView relative, const QByteArray &bytes) const;
    QByteArray read(QStringView relative) const;
    bool exists(QStringView relative) const;
    bool isFolder(QStringView relative) const;
    bool remove(QStringView relative) const; // a file, or a folder with all it holds
    // Every entry below the application folder, relative, sorted; folders end in "/".
    QStringList tree() const;
    // Every file below a folder, by its path relative to that folder, with its bytes.
    QMap<QString, QByteArray> files(QStringView folder) const;

    // A journal as the program makes it: four record files with their defaults.
    void addJournal(QStringView name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace varnotel::test
