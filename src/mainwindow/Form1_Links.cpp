#include "mainwindow/Form1.h"

namespace varnotel {

void Form1::ShellOpen(const QString &path) { Q_UNUSED(path); }
void Form1::Command2_Click() {}
void Form1::Command3_Click() {}
void Form1::Command12_Click() {}
void Form1::Command1_Click() {}
void Form1::Command5_Click() {}
void Form1::Command6_Click() {}

} // namespace varnotel
