#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace varnotel {

// The four record files of a journal, in the order the operations visit them.
enum class Record { Journal, ImpactFactor, Homepage, Notes };

inline constexpr Record kAllRecords[] = {Record::Journal, Record::ImpactFactor, Record::Homepage,
                                         Record::Notes};

// Every path of the library is the application folder, the folder name between
// separators and the journal name unchanged: no trimming, escaping or change of
// case. Plain concatenation, so an application folder at the root gives a
// doubled separator, which the file system reads as one.
namespace paths {

QString recordFolderName(Record record); // "Journal", "IF", "Homepage", "Notes"
QString recordFolder(const QString &appDir, Record record);
QString recordFile(const QString &appDir, Record record, const QString &name);
QString journalFolder(const QString &appDir);
QString exampleRoot(const QString &appDir);
QString exampleFolder(const QString &appDir, const QString &name);
QString musicFile(const QString &appDir);
QString manualFile(const QString &appDir);

// The paths a journal with an empty name would have, in the order the purge
// tries them: the four record files, then the file ".txt" lying in Example.
QStringList blankNamePaths(const QString &appDir);

} // namespace paths

// Whether the name addresses a folder of its own below Example, which the
// program may make, write into, rename or empty. The blank entry, "." and ".."
// would address Example itself or the application folder.
bool hasOwnExampleFolder(const QString &name);

// The folder whose articles the example list shows for the name: its example
// folder, which for the blank entry and "." is Example itself, as the list
// has always shown them; none for ".." or a name that leaves the library.
std::optional<QString> listedExampleFolder(const QString &appDir, const QString &name);

// Whether the name stays inside the record folders when made into a path.
bool staysInLibrary(const QString &name);

// The default line a record file gets when the program creates it.
QString defaultRecordValue(Record record, const QString &name);

} // namespace varnotel
