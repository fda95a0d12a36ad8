#include "library/LibraryPaths.h"

#include "platform/FileNames.h"

namespace varnotel {

namespace paths {

QString recordFolderName(Record record) {
    switch (record) {
    case Record::Journal:
        return QStringLiteral("Journal");
    case Record::ImpactFactor:
        return QStringLiteral("IF");
    case Record::Homepage:
        return QStringLiteral("Homepage");
    case Record::Notes:
        return QStringLiteral("Notes");
    }
    return {};
}

QString recordFolder(const QString &appDir, Record record) {
    return appDir + QLatin1Char('/') + recordFolderName(record);
}

QString recordFile(const QString &appDir, Record record, const QString &name) {
    return recordFolder(appDir, record) + QLatin1Char('/') + name + QStringLiteral(".txt");
}

QString journalFolder(const QString &appDir) { return recordFolder(appDir, Record::Journal); }

QString exampleRoot(const QString &appDir) { return appDir + QStringLiteral("/Example"); }

QString exampleFolder(const QString &appDir, const QString &name) {
    return appDir + QStringLiteral("/Example/") + name;
}

QString musicFile(const QString &appDir) { return appDir + QStringLiteral("/BGM/BGM.mp3"); }

QString manualFile(const QString &appDir) { return appDir + QStringLiteral("/BGM/Tuition.wmv"); }

QStringList blankNamePaths(const QString &appDir) {
    QStringList result;
    for (Record record : kAllRecords)
        result << recordFile(appDir, record, QString());
    result << appDir + QStringLiteral("/Example//.txt");
    return result;
}

} // namespace paths

QString defaultRecordValue(Record record, const QString &name) {
    switch (record) {
    case Record::Journal:
        return QString();
    case Record::ImpactFactor:
        return QStringLiteral("IF:");
    case Record::Homepage:
        return QStringLiteral("http:");
    case Record::Notes:
        return displayName(name) + QLatin1Char(':'); // the text, also for a name that is not UTF-8
    }
    return {};
}

bool hasOwnExampleFolder(const QString &name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           staysInLibrary(name);
}

std::optional<QString> listedExampleFolder(const QString &appDir, const QString &name) {
    if (name == QLatin1String("..") || !staysInLibrary(name))
        return std::nullopt;
    return paths::exampleFolder(appDir, name);
}

bool staysInLibrary(const QString &name) {
    return !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

} // namespace varnotel
