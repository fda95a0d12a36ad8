#pragma once

#include "platform/Failure.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace varnotel {

// What an editing operation did on disk, and what the user must be told.
// The window reports the failures and rebuilds its lists; it needs nothing else.
struct EditOutcome {
    QStringList created;                    // files and folders brought into being
    QList<QPair<QString, QString>> renamed; // from, to; only those that stayed renamed
    QStringList deleted;                    // files and folders removed or moved to the trash
    QStringList deletedForGood;             // of those, files no trash could take
    Failures failures;                      // one per problem

    bool failed() const { return !failures.isEmpty(); }
};

} // namespace varnotel
