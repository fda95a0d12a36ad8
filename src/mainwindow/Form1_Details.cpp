#include "mainwindow/Form1.h"

namespace varnotel {

void Form1::List1_Click() {}

// Refresh: rebuild from disk, then purge one blank-name file.
void Form1::Command10_Click() {
    RecountLibrary();
    PurgeBlankJournal();
}

} // namespace varnotel
