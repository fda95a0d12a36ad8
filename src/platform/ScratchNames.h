#pragma once

#include <QString>
#include <QStringView>

namespace varnotel {

// The program's scratch files, a copy or a record file on its way to its
// place, all bear one kind of name: ".varnotel-" and sixteen lower-case hex
// digits. A listing passes over such names, so a copy cut short by a crash is
// never shown or counted, and the program removes the ones it finds left
// behind (those no running program is still writing).
QString scratchName(quint64 random);
bool isScratchName(QStringView name);
bool isScratchName(const char *name); // a name as the folder gives it

} // namespace varnotel
