#pragma once

#include "platform/FileSystem.h"
#include "platform/FolderCursor.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnotel {

// Tells which watched folders changed, so that a recount need not ask every
// folder for its status.
class FolderWatch {
public:
    virtual ~FolderWatch() = default;

    struct Watched {
        int handle = -1;
        EntryStatus status; // taken after the watch began, of the very folder watched
    };
    // Watches the folder the cursor stands at. Nothing when it cannot be
    // watched (a network file system, the system's limit on watches reached,
    // no permission): it must then be asked.
    virtual std::optional<Watched> watch(FolderCursor &cursor) = 0;
    virtual void unwatch(int handle) = 0;

    // An entry of a watched folder that came (made, moved in) or went
    // (deleted, moved away).
    struct NamedChange {
        int handle;
        QString name;
        bool came;   // else went
        bool folder; // the entry was a folder, as the system tells it
    };
    struct News {
        QList<int> changed;       // folders whose own state changed, or entries in ways not named
        QList<int> ended;         // watches the system ended: the folder was deleted or unmounted
        bool lostTrack = false;   // changes may have gone unreported: ask every folder again
        QList<NamedChange> named; // in the order they happened
    };
    // What happened since the last call.
    virtual News takeNews() = 0;
    // A descriptor that turns readable when news waits, for an event loop to
    // wait on; -1 when this watch cannot say.
    virtual int newsDescriptor() const { return -1; }
};

} // namespace varnotel
