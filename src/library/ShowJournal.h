#pragma once

#include "library/FolderScanner.h"
#include "library/LibraryPaths.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QString>

#include <optional>

namespace varnotel {

// What a field box shows: the file as read for display, completed first with
// its default when it was missing, and the note that a huge file is cut short.
// On a failure the text is empty and the failure says why.
struct FieldShown {
    QString text;
    std::optional<Failure> failure;
    QString created = {}; // the file completed with its default just now
};

FieldShown showFieldFile(FileSystem &fs, const QString &appDir, Record field, const QString &name);

// The articles the example list shows for a journal, as they are on disk now:
// those of its example folder (all of Example for the blank entry and ".");
// none for a name whose folder would lie outside Example.
ArticleList listedArticles(const FileSystem &fs, const QString &appDir, const QString &name);

// The articles of a journal's example folder; a missing folder is made (and is
// empty). On a failure the list is empty and the failure says why.
struct ExampleListing {
    ArticleList articles;
    bool created = false; // the folder was missing and was made just now
    std::optional<Failure> failure;
};

ExampleListing listExampleFolder(FileSystem &fs, const QString &appDir, const QString &name);

// Everything shown for a selected journal, step by step in the order IF,
// homepage, notes, example folder; one failing step does not stop the others.
struct ShownJournal {
    FieldShown impactFactor;
    FieldShown homepage;
    FieldShown notes;
    ExampleListing examples;

    Failures failures() const;
};

ShownJournal showJournal(FileSystem &fs, const QString &appDir, const QString &name);

// A field file as the box shows it, read and never written: nothing when it
// is missing or cannot be read. For showing again what changed on disk.
std::optional<QString> fieldAsItReads(const FileSystem &fs, const QString &appDir, Record field,
                                      const QString &name);

// The line added to a field box whose file was too big to be shown whole.
QString restNotShownNote();

} // namespace varnotel
