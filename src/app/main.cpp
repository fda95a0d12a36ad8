#include "mainwindow/widgets/Form1.h"
#include "platform/DesktopProgramStarter.h"
#include "desktop/DialogInputPrompt.h"
#include "desktop/MessageBoxErrorReport.h"
#include "platform/PosixFileSystem.h"
#include "desktop/QtMediaPlayer.h"
#include "platform/SystemClock.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnotel"));
    // Ties the window to the menu entry that scripts/install-desktop-entry.sh writes.
    QGuiApplication::setDesktopFileName(QStringLiteral("varnotel"));

    varnotel::PosixFileSystem fs;
    varnotel::DesktopProgramStarter starter;
    varnotel::QtMediaPlayer player;
    varnotel::DialogInputPrompt prompt;
    varnotel::SystemClock clock;
    varnotel::MessageBoxErrorReport errors;

    // The library lives beside the program, whatever the current folder is.
    varnotel::Form1 window(QCoreApplication::applicationDirPath(),
                           {fs, starter, player, prompt, clock, errors});
    window.Form_Load();
    window.show();
    return app.exec();
}
