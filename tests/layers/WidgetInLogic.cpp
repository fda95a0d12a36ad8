// Compiled with the settings of one library of logic only: it must fail,
// because such a library does not see the widget headers.
#include <QWidget>

int widgetsAreOutOfReach() { return sizeof(QWidget); }
