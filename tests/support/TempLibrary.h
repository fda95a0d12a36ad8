#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTemporaryDir>

namespace varnotel::test {

// Every entry below a folder by its relative path (a folder's ends in "/"),
// with what it holds: a file's bytes, a link's target after "-> ".
using Snapshot = QMap<QString, QByteArray>;

// What an action did to the library, entry by entry; a literal may name only
// what it needs (TreeChange{.gone = {...}}).
struct TreeChange {
    QStringList made = {};
    QStringList gone = {};
    QStringList changed = {};
    friend bool operator==(const TreeChange &, const TreeChange &) = default;
};

TreeChange changeBetween(const Snapshot &before, const Snapshot &after);
// How a test failure prints it.
char *toString(const TreeChange &change);

// A throw-away application folder holding the five library folders and BGM.
// Paths are relative to it; u"..." literals serve as they are.
class TempLibrary {
public:
    TempLibrary();
    // Removes all of it, also names that are not UTF-8 and trees deeper than a path may be long.
    ~TempLibrary();

    QString appDir() const { return m_dir.path(); }
    QString path(QStringView relative) const;

    void makeFolder(QStringView relative) const;
    void write(QStringView relative, const QByteArray &bytes) const;
    QByteArray read(QStringView relative) const;
    bool exists(QStringView relative) const;
    bool remove(QStringView relative) const; // a file, or a folder with all it holds
    // Every entry below the application folder, relative, sorted; folders end in "/".
    QStringList tree() const;
    // Every file below a folder, by its path relative to that folder, with its bytes.
    QMap<QString, QByteArray> files(QStringView folder) const;
    // Every entry below the application folder, with what it holds.
    Snapshot snapshot() const;

    // A journal as the program makes it: four record files with their defaults.
    void addJournal(QStringView name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace varnotel::test
