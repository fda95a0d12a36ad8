#pragma once

#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace varnotel {

// What an import did, and what the person must be told.
struct ImportOutcome {
    QStringList imported;   // the articles' paths in the example folder
    bool cancelled = false; // the person stopped a copy; the files after it were left
    Failures failures;      // one per problem
};

// Gives the progress of one source file's copy.
using ImportProgress = std::function<CopyProgress(const QString &source)>;

// Why nothing can be imported for the journal selected in the main window;
// nothing when it can. With no selection, on the
// blank entry and for "." or "..", the files would land in Example itself or
// in the application folder.
std::optional<Failure> importProblem(const std::optional<QString> &journal);

// Copies files into the journal's example folder under their own names. A
// file of the same name there is replaced without a question, but only by a
// complete copy: each file is copied beside its target and then put in its
// place in one step, so a failed or cancelled copy leaves the folder as it
// was. A source that is the article itself is left alone, folders are
// refused, and a cancel stops the files still to come. The example folder is
// not made here: one that went missing is reported.
ImportOutcome importArticles(FileSystem &fs, const QString &appDir, const std::optional<QString> &journal,
                             const QStringList &sources, const ImportProgress &progress = {});

} // namespace varnotel
