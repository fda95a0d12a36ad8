#pragma once

#include "platform/FileSystem.h"

#include <QStringList>

namespace varnotel {

// What a scanner lists for a file: the journal-style name (the file name less
// its last four characters) or the whole file name.
enum class ItemText { WithoutLastFour, WholeName };

// Lists every file below a folder: the folder's own files in name order, then
// each subfolder in name order, depth first. Works with its own stack, so a
// deep tree cannot overflow the call stack, and visits every folder once, so a
// link loop cannot make it run forever. Appends to the list; clears nothing.
// These scan afresh, for a one-off check; the window's lists come from
// LibraryScanner, which lists the same but remembers what it read.
void scanFolder(const FileSystem &fs, QString myPath, ItemText itemText, QStringList &list);

// The file name less its last four characters; shorter names give the empty
// text, so every file is still counted.
QString withoutLastFourCharacters(const QString &fileName);
// The same, in place: the name keeps its memory, so a huge list costs one
// allocation per name.
void dropLastFourCharacters(QString &fileName);

// The journal list: every file below Journal, as journal names.
inline void sosuofile1(const FileSystem &fs, const QString &myPath, QStringList &list1) {
    scanFolder(fs, myPath, ItemText::WithoutLastFour, list1);
}

// Example articles as the list shows them, whole file names, and beside each
// name the path of the file it stands for, so that opening and deleting find
// that very file, also in a subfolder.
struct ArticleList {
    QStringList names;
    QStringList paths;
};

// The current journal's example articles, in the order of scanFolder.
void sosuofile3(const FileSystem &fs, const QString &myPath, ArticleList &list3);

} // namespace varnotel
