#include "library/ShowJournal.h"

#include "library/FieldFiles.h"
#include "library/FolderScanner.h"
#include "library/Messages.h"
#include "library/RecordFile.h"

namespace varnotel {

QString restNotShownNote() {
    return bilingual(QStringLiteral("……（文件其余部分未显示）"),
                     QStringLiteral("... (The rest of the file is not shown.)")) +
           QStringLiteral("\r\n");
}

FieldShown showFieldFile(FileSystem &fs, const QString &appDir, Record field, const QString &name) {
    const FieldFileOutcome ensured = ensureFieldFile(fs, appDir, field, name);
    if (!ensured.result)
        return {{}, fieldCreationFailure(ensured)};
    // A file made just now is read back too, so the box never keeps the text
    // of the journal shown before.
    const QString created = ensured.created ? ensured.path : QString();
    DisplayText shown;
    if (const Result read = readForDisplay(fs, ensured.path, shown); !read)
        return {{},
                fileFailure(FailureKind::CannotRead, QStringLiteral("无法读取文件"),
                            QStringLiteral("Cannot read the file:"), ensured.path, read),
                created};
    if (shown.truncated)
        shown.text += restNotShownNote();
    return {shown.text, std::nullopt, created};
}

std::optional<QString> fieldAsItReads(const FileSystem &fs, const QString &appDir, Record field,
                                      const QString &name) {
    const QString path = paths::recordFile(appDir, field, name);
    DisplayText shown;
    if (!fs.fileExists(path) || !readForDisplay(fs, path, shown))
        return std::nullopt;
    if (shown.truncated)
        shown.text += restNotShownNote();
    return shown.text;
}

ArticleList listedArticles(const FileSystem &fs, const QString &appDir, const QString &name) {
    ArticleList articles;
    if (const std::optional<QString> folder = listedExampleFolder(appDir, name))
        sosuofile3(fs, *folder, articles);
    return articles;
}

ExampleListing listExampleFolder(FileSystem &fs, const QString &appDir, const QString &name) {
    ExampleListing listing;
    const std::optional<QString> folder = listedExampleFolder(appDir, name);
    if (!folder)
        return listing;
    if (fs.entryExists(*folder)) {
        sosuofile3(fs, *folder, listing.articles);
        return listing;
    }
    const Result made = fs.createFolder(*folder);
    listing.created = made.ok;
    if (!made)
        listing.failure = fileFailure(FailureKind::CannotCreate, QStringLiteral("无法创建例文文件夹"),
                                      QStringLiteral("Cannot create the example folder:"), *folder, made);
    return listing;
}

Failures ShownJournal::failures() const {
    Failures result;
    for (const auto *failure :
         {&impactFactor.failure, &homepage.failure, &notes.failure, &examples.failure}) {
        if (*failure)
            result << **failure;
    }
    return result;
}

namespace {

// A selection that could not be shown in full leaves the library as it found
// it: what it completed is taken back, and its box emptied.
void takeBackWhatWasMade(FileSystem &fs, const QString &appDir, const QString &name, ShownJournal &details) {
    for (FieldShown *field : {&details.impactFactor, &details.homepage, &details.notes}) {
        if (!field->created.isEmpty() && fs.removeFile(field->created)) {
            field->created.clear();
            field->text.clear();
        }
    }
    if (details.examples.created && fs.removeFolder(paths::exampleFolder(appDir, name)))
        details.examples.created = false;
}

} // namespace

ShownJournal showJournal(FileSystem &fs, const QString &appDir, const QString &name) {
    ShownJournal details;
    details.impactFactor = showFieldFile(fs, appDir, Record::ImpactFactor, name);
    details.homepage = showFieldFile(fs, appDir, Record::Homepage, name);
    details.notes = showFieldFile(fs, appDir, Record::Notes, name);
    details.examples = listExampleFolder(fs, appDir, name);
    if (!details.failures().isEmpty())
        takeBackWhatWasMade(fs, appDir, name, details);
    return details;
}

} // namespace varnotel
