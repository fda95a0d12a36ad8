#pragma once

#include "mainwindow/widgets/Form1.h"
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/PictureBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "music/widgets/MediaPlayerBar.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QColor>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

class QAbstractButton;
class QAbstractItemView;
class QImage;

namespace varnotel::test {

// The child of a window with this object name; a test that asks for one the
// window lacks stops there.
QWidget *childNamed(const QWidget &window, const char *name);
template <typename T> T *childNamed(const QWidget &window, const char *name) {
    T *child = qobject_cast<T *>(childNamed(window, name));
    if (!child)
        qFatal("%s is not of the kind the test expects", name);
    return child;
}

// The main window's controls, found by their names as a person finds them by
// their captions.
struct MainControls {
    explicit MainControls(const Form1 &window);
    PictureBox *Surface, *Picture1, *Picture2;
    QLineEdit *Text1;
    ListBox *List1, *List3;
    TextBox *Text2, *Text3, *Text4;
    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5, *Command6, *Command7, *Command8,
        *Command9, *Command10, *Command11, *Command12;
    MediaPlayerBar *WindowsMediaPlayer1;
};

struct ShownWindow;
// What is done to the window or its seams once they are made and before the
// program starts: a failure its start-up meets, a watch on the player.
using BeforeStart = std::function<void(ShownWindow &)>;

// The main window as a person meets it: started on a library folder with
// recording doubles for the outside world, then shown on the screen.
struct ShownWindow {
    // A prompt or a player given (the real ones) stands in for the double.
    explicit ShownWindow(const QString &appDir, InputPrompt *prompt = nullptr, MediaPlayer *player = nullptr,
                         const BeforeStart &beforeStart = {});

    TestPlatform seams;
    Form1 window;
    MainControls ui;
};

// What a window test works on: a library of its own and a trash of its own,
// then the window shown on that library once the test has laid it out.
struct Session {
    Session();
    // Starts the program on the library as it is now and shows its window.
    ShownWindow &start(InputPrompt *prompt = nullptr, MediaPlayer *player = nullptr,
                       const BeforeStart &beforeStart = {});
    ShownWindow &start(const BeforeStart &beforeStart) { return start(nullptr, nullptr, beforeStart); }

    TempLibrary lib;
    QTemporaryDir dataHome; // XDG_DATA_HOME: the home trash is Trash/ below it
    std::optional<ShownWindow> shown;

    MainControls &ui() { return shown->ui; }
    TestPlatform &seams() { return shown->seams; }
};

// One thing a person does, or something that happens meanwhile.
using Step = std::function<void(Session &)>;

// A row picked as a person picks it: scrolled into view, then clicked (or
// double-clicked) on the view's viewport at the middle of the row.
void clickRow(QAbstractItemView *view, qsizetype row);
void doubleClickRow(QAbstractItemView *view, qsizetype row);
// The row that shows this text: the last of several alike.
qsizetype rowShowing(const QAbstractItemView *view, const QString &text);
// A click into the list below its last row.
void clickBelowLastRow(QAbstractItemView *view);
void click(QAbstractButton *button);
// Files dragged from the file manager and dropped on the list; a relative
// path is taken from the current folder, as the file manager names it whole.
void dropFiles(QAbstractItemView *view, const QStringList &paths);
// What a file manager sends, as its text/uri-list.
void dropUriList(QAbstractItemView *view, const QByteArray &uriList);

// Steps that recur in the tables of window tests: buttons pressed one after
// the other, keys typed into a list, the row showing a text clicked.
template <typename... Buttons> Step pressing(Buttons... buttons) {
    return [=](Session &s) { (click(s.ui().*buttons), ...); };
}
Step typing(ListBox *MainControls::*list, const QString &keys);
Step clicking(ListBox *MainControls::*list, const QString &text);
// The disk changes meanwhile: files written (with one byte), then entries removed.
Step changing(const QStringList &written, const QStringList &removed = {});
// From the step on, the call of op after `skip` more successful ones fails.
Step failing(FaultyFileSystem::Op op, int skip = 0);
// Removing or renaming these files (relative paths) fails `times` times: they are in use.
Step resisting(const QStringList &files, int times = FaultyFileSystem::kForever);

// Where the files in the session's trash are restored to, relative to the
// application folder, sorted: what its .trashinfo files record.
QStringList restorable(const Session &s);

// Whether the control shows its whole frame: at the middle of each of its
// edges the window finds the control itself, not another control over it.
bool frameUncovered(const QWidget *control);
// Whether a box shows its text whole, as a person checks it: with three times
// the room it shows nothing more and nothing moves, and nothing touches its
// top edge (a glyph cut off above). The box gets its size back.
bool showsWhole(QWidget *box);

// What the window shows of the whole library (the journal list, the
// statistics lines), and what it should show after a fresh full scan.
QStringList libraryShown(const ShownWindow &shown);
QStringList libraryShown(const MainControls &ui); // of a window the test shows itself
QStringList libraryOnDisk(const QString &appDir);

// The three display boxes, IF, homepage, notes, as their exact texts.
QStringList boxes(const ShownWindow &shown);

} // namespace varnotel::test
