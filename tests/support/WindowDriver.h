#pragma once

#include "mainwindow/Form1.h"
#include "support/TestDoubles.h"

#include <QColor>
#include <QRect>
#include <QStringList>

class QAbstractButton;
class QAbstractItemView;
class QImage;

namespace varnotel::test {

// The main window as a person meets it: started on a library folder with
// recording doubles for the outside world, then shown on the screen.
struct ShownWindow {
    // A prompt or a player given (the real ones) stands in for the double.
    explicit ShownWindow(const QString &appDir, InputPrompt *prompt = nullptr, MediaPlayer *player = nullptr);

    TestPlatform seams;
    Form1 window;
};

// A row picked as a person picks it: scrolled into view, then clicked (or
// double-clicked) on the view's viewport at the middle of the row.
void clickRow(QAbstractItemView *view, qsizetype row);
void doubleClickRow(QAbstractItemView *view, qsizetype row);
// A click into the list below its last row.
void clickBelowLastRow(QAbstractItemView *view);
void click(QAbstractButton *button);
// Files dragged from the file manager and dropped on the list.
void dropFiles(QAbstractItemView *view, const QStringList &paths);

// Where something other than the background colour is painted (the ink of
// the text); an empty rectangle when nothing is.
QRect inkBounds(const QImage &image, const QColor &background);
// Whether a box shows its text whole, as a person checks it: with three times
// the room it shows nothing more and nothing moves, and nothing touches its
// top edge (a glyph cut off above). The box gets its size back.
bool showsWhole(QWidget *box);

// What the window shows of the whole library (the journal list, the count of
// articles, the statistics lines), and what it should show after a fresh full
// scan of the disk.
QStringList libraryShown(const Form1 &window);
QStringList libraryOnDisk(const QString &appDir);

// The three display boxes, IF, homepage, notes, as their exact texts.
QStringList boxes(const Form1 &window);

} // namespace varnotel::test
