#pragma once

#include <QString>
#include <QStringList>

namespace varnotel::bench {

// A synthetic catalogue as years of use leave it: journals with Latin and
// Chinese names and their four record files; example folders, a few holding
// 1,000 articles, most a handful, some with subfolders; a few journals in a
// subfolder of Journal; stray files here and there.
struct Catalogue {
    QStringList journals;     // every journal name, in no particular order
    QStringList largeFolders; // example folders of 1,000 articles, relative to Example
    QStringList smallFolders; // the other example folders
    qint64 journalFiles = 0;  // files below Journal, as the journal list counts them
    qint64 exampleFiles = 0;  // files below Example, as the article count counts them
};

constexpr int kLargeFolderArticles = 1000;

// Lays the catalogue out in appDir (which must exist), with exactly `articles`
// example articles; the same seed gives the same catalogue.
Catalogue layOutCatalogue(const QString &appDir, int journals, qint64 articles, quint32 seed);

// Writes `count` article files into a folder, which is made first.
void writeArticles(const QString &folder, int count, int firstNumber);

} // namespace varnotel::bench
