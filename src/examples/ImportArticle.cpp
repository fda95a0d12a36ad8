#include "examples/ImportArticle.h"

#include "examples/ArticlePath.h"
#include "library/JournalPresence.h"
#include "library/LibraryPaths.h"
#include "library/Messages.h"
#include "library/NewFile.h"

namespace varnotel {

namespace {

// A file that already is the target: browsing the example folder itself.
bool isTheArticleItself(const FileSystem &fs, const QString &source, const QString &target) {
    const std::optional<EntryId> id = fs.entryId(source);
    return id && id == fs.entryId(target);
}

// The folder is made by the add button, not here: one that went missing is
// told about. Writing through a link would put files outside the library.
std::optional<Failure> folderProblem(const FileSystem &fs, const QString &folder) {
    if (!fs.folderExists(folder))
        return failureNaming(FailureKind::FolderMissing, QStringLiteral("例文文件夹不存在,没有导入任何文件:"),
                             QStringLiteral("The example folder is missing; nothing was imported:"), folder);
    if (fs.isSymLink(folder))
        return failureNaming(FailureKind::LinkedFolder,
                             QStringLiteral("例文文件夹是一个链接,没有导入任何文件:"),
                             QStringLiteral("The example folder is a link; nothing was imported:"), folder);
    return std::nullopt;
}

void importOne(FileSystem &fs, const QString &folder, const QString &source, const CopyProgress &progress,
               ImportOutcome &outcome) {
    if (fs.folderExists(source)) {
        outcome.failures << failureNaming(FailureKind::NotAFile,
                                          QStringLiteral("文件夹不能导入,只能导入文件:"),
                                          QStringLiteral("Folders cannot be imported, only files:"), source);
        return;
    }
    const QString target = folder + QLatin1Char('/') + fileNameOf(source);
    if (isTheArticleItself(fs, source, target))
        return;
    const QString scratch = scratchPathBeside(fs, target);
    bool cancelled = false;
    auto told = [&](qint64 copied, qint64 total) {
        cancelled = progress && !progress(copied, total);
        return !cancelled;
    };
    Result result = fs.copyFile(source, scratch, told);
    if (result) {
        result = fs.replaceFile(scratch, target);
        if (!result)
            fs.removeFile(scratch);
    }
    if (result)
        outcome.imported << target;
    else if (cancelled)
        outcome.cancelled = true;
    else
        outcome.failures << fileFailure(FailureKind::CannotCopy, QStringLiteral("无法导入文件"),
                                        QStringLiteral("Cannot import the file:"), source, result);
}

} // namespace

std::optional<Failure> importProblem(const std::optional<QString> &journal) {
    if (!journal)
        return Failure{
            FailureKind::NothingSelected,
            bilingual(QStringLiteral("请先在期刊列表中选择一个期刊,再导入例文。"),
                      QStringLiteral("Please select a journal in the journal list before importing "
                                     "example articles."))};
    if (!hasOwnExampleFolder(*journal))
        return Failure{FailureKind::NoExampleFolder,
                       bilingual(QStringLiteral("这一条目没有自己的例文文件夹,不能导入例文。"),
                                 QStringLiteral("This entry has no example folder of its own; no example "
                                                "articles can be imported into it."))};
    return std::nullopt;
}

ImportOutcome importArticles(FileSystem &fs, const QString &appDir, const std::optional<QString> &journal,
                             const QStringList &sources, const ImportProgress &progress) {
    ImportOutcome outcome;
    if (const std::optional<Failure> problem = importProblem(journal)) {
        outcome.failures << *problem;
        return outcome;
    }
    // Another window may have renamed or deleted the journal meanwhile; its
    // example folder may still be there, but belongs to no journal.
    if (!journalStillListed(fs, appDir, *journal)) {
        outcome.failures << failureNaming(
            FailureKind::JournalGone, QStringLiteral("这个期刊已经不在期刊库中,没有导入任何文件:"),
            QStringLiteral("This journal is no longer in the library; nothing was "
                           "imported:"),
            *journal);
        return outcome;
    }
    const QString folder = paths::exampleFolder(appDir, *journal);
    if (const std::optional<Failure> problem = folderProblem(fs, folder)) {
        outcome.failures << *problem;
        return outcome;
    }
    removeLeftoversIn(fs, folder); // of an import into this folder that a crash cut short
    for (const QString &source : sources) {
        importOne(fs, folder, source, progress ? progress(source) : CopyProgress(), outcome);
        if (outcome.cancelled)
            break;
    }
    return outcome;
}

} // namespace varnotel
