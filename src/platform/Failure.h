#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace varnotel {

// The program's one meta-object namespace: it gives the kinds of failure
// their names, which a test that expected another kind prints.
Q_NAMESPACE

// What went wrong, as the program tells it: each kind is one thing the
// person can understand and act on.
enum class FailureKind {
    NothingSelected,   // the action needs a journal or an article selected first
    NotAJournalName,   // a typed name cannot become a journal
    NoExampleFolder,   // the entry has no example folder of its own
    NameTaken,         // a rename's target is in use
    JournalGone,       // renamed or deleted elsewhere since the list was built
    FolderMissing,     // a folder the action works in is not there
    LinkedFolder,      // the folder leads elsewhere through a link; nothing was done there
    NotAFile,          // a folder, or something that is no plain file, where a file belongs
    CannotCreate,      // a file or folder could not be made
    CannotRead,        // a file or folder could not be read
    CannotCopy,        // an import's copy failed
    CannotRename,      // a rename failed; what it had done was undone
    CannotUndo,        // what a failed action had done could not be taken back
    CannotDelete,      // a file or folder could not be deleted
    SubfoldersKept,    // an example folder still holds subfolders and was kept
    DeletedForGood,    // no trash could take the files, so they were removed
    NoHomepage,        // the journal's homepage file holds no address yet
    NotAWebAddress,    // what would be opened in the browser is no http or https address
    CannotStart,       // the desktop's program could not be started
    UnreadableFolders, // folders of the library could not be read
    DriveUnavailable,  // the drive picked in the import dialog is not there
    LibraryGone,       // the library's folders went away while the window followed them (a disk removed)
};
Q_ENUM_NS(FailureKind)

// One failure: its kind, and the bilingual text that tells it.
struct Failure {
    FailureKind kind;
    QString message;
};

using Failures = QList<Failure>;

} // namespace varnotel
