#include "mainwindow/Form1.h"

namespace varnotel {

void Form1::Command7_Click() {}
void Form1::Command4_Click() {}
void Form1::Command11_Click() {}
void Form1::List1_KeyPress(int keyAscii) { Q_UNUSED(keyAscii); }

} // namespace varnotel
