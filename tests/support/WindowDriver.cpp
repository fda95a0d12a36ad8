#include "support/WindowDriver.h"

#include "library/FolderScanner.h"
#include "mainwindow/widgets/ListBox.h"
#include "mainwindow/widgets/PictureBox.h"
#include "mainwindow/widgets/TextBox.h"
#include "music/widgets/MediaPlayerBar.h"
#include "platform/FileNames.h"
#include "support/Expectations.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QDirIterator>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

namespace varnotel::test {

using namespace Qt::StringLiterals;

namespace {

// Where something other than the background colour is painted (the ink of
// the text); an empty rectangle when nothing is.
QRect inkBounds(const QImage &image, const QColor &background) {
    QRect bounds;
    const QRgb paper = background.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != paper)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QPoint middleOf(QAbstractItemView *view, qsizetype row) {
    const QModelIndex index = view->model()->index(static_cast<int>(row), 0);
    if (!index.isValid())
        qFatal("no row %lld to click", static_cast<long long>(row));
    view->scrollTo(index);
    return view->visualRect(index).center();
}

} // namespace

QWidget *childNamed(const QWidget &window, const char *name) {
    auto *child = window.findChild<QWidget *>(QLatin1String(name));
    if (!child)
        qFatal("the window has no %s", name);
    return child;
}

MainControls::MainControls(const Form1 &w)
    : Surface(childNamed<PictureBox>(w, "Surface")), Picture1(childNamed<PictureBox>(w, "Picture1")),
      Picture2(childNamed<PictureBox>(w, "Picture2")), Text1(childNamed<QLineEdit>(w, "Text1")),
      List1(childNamed<ListBox>(w, "List1")), List3(childNamed<ListBox>(w, "List3")),
      Text2(childNamed<TextBox>(w, "Text2")), Text3(childNamed<TextBox>(w, "Text3")),
      Text4(childNamed<TextBox>(w, "Text4")), Command1(childNamed<QPushButton>(w, "Command1")),
      Command2(childNamed<QPushButton>(w, "Command2")), Command3(childNamed<QPushButton>(w, "Command3")),
      Command4(childNamed<QPushButton>(w, "Command4")), Command5(childNamed<QPushButton>(w, "Command5")),
      Command6(childNamed<QPushButton>(w, "Command6")), Command7(childNamed<QPushButton>(w, "Command7")),
      Command8(childNamed<QPushButton>(w, "Command8")), Command9(childNamed<QPushButton>(w, "Command9")),
      Command10(childNamed<QPushButton>(w, "Command10")), Command11(childNamed<QPushButton>(w, "Command11")),
      Command12(childNamed<QPushButton>(w, "Command12")),
      WindowsMediaPlayer1(childNamed<MediaPlayerBar>(w, "WindowsMediaPlayer1")) {}

ShownWindow::ShownWindow(const QString &appDir, InputPrompt *prompt, MediaPlayer *player,
                         const BeforeStart &beforeStart)
    : window(appDir, {seams.fs, seams.starter, player ? *player : seams.player,
                      prompt ? *prompt : seams.prompt, seams.clock, seams.errors}),
      ui(window) {
    if (beforeStart)
        beforeStart(*this);
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the main window was not shown");
}

Session::Session() { qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path())); }

ShownWindow &Session::start(InputPrompt *prompt, MediaPlayer *player, const BeforeStart &beforeStart) {
    return shown.emplace(lib.appDir(), prompt, player, beforeStart);
}

void clickRow(QAbstractItemView *view, qsizetype row) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, middleOf(view, row));
}

void doubleClickRow(QAbstractItemView *view, qsizetype row) {
    const QPoint point = middleOf(view, row);
    // A double-click is a click followed by a second press that the system
    // reports as a double-click, and its release.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, point);
}

qsizetype rowShowing(const QAbstractItemView *view, const QString &text) {
    const QModelIndexList found =
        view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, text, -1, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no row shows %s", qPrintable(text));
    return found.last().row();
}

void clickBelowLastRow(QAbstractItemView *view) {
    const int rows = view->model()->rowCount();
    const int below = rows == 0 ? 5 : view->visualRect(view->model()->index(rows - 1, 0)).bottom() + 5;
    if (below >= view->viewport()->height())
        qFatal("the list has no empty area below its last row");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, below));
}

void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

void dropFiles(QAbstractItemView *view, const QStringList &paths) {
    QByteArray uris;
    for (const QString &path : paths)
        uris += "file://" + bytesFromName(QFileInfo(path).absoluteFilePath()).toPercentEncoding("/") + "\r\n";
    dropUriList(view, uris);
}

void dropUriList(QAbstractItemView *view, const QByteArray &uriList) {
    QMimeData data;
    data.setData(u"text/uri-list"_s, uriList);
    QWidget *target = view->viewport();
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        qFatal("the list does not take dropped files");
    QDropEvent dropped(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
}

Step typing(ListBox *MainControls::*list, const QString &keys) {
    return [=](Session &s) { QTest::keyClicks(s.ui().*list, keys); };
}

Step clicking(ListBox *MainControls::*list, const QString &text) {
    return [=](Session &s) { clickRow(s.ui().*list, rowShowing(s.ui().*list, text)); };
}

Step changing(const QStringList &written, const QStringList &removed) {
    return [=](Session &s) {
        for (const QString &file : written)
            s.lib.write(file, "x");
        for (const QString &entry : removed)
            s.lib.remove(entry);
    };
}

Step failing(FaultyFileSystem::Op op, int skip) {
    return [=](Session &s) { s.seams().fs.failOn(op, s.seams().fs.calls(op) + skip); };
}

Step resisting(const QStringList &files, int times) {
    return [=](Session &s) {
        for (const QString &file : files)
            s.seams().fs.resist(s.lib.path(file), times);
    };
}

QStringList restorable(const Session &s) {
    QStringList paths;
    for (QDirIterator it(s.dataHome.filePath(u"Trash/info"_s), QDir::Files | QDir::Hidden); it.hasNext();) {
        QFile info(it.next());
        if (!info.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(info.fileName()));
        const QByteArray path = info.readAll().split('\n').value(1).mid(5); // after "Path="
        paths << QDir(s.lib.appDir())
                     .relativeFilePath(QFile::decodeName(QByteArray::fromPercentEncoding(path)));
    }
    paths.sort();
    return paths;
}

bool frameUncovered(const QWidget *control) {
    const QRect r = control->geometry();
    for (const QPoint edge : {QPoint(r.center().x(), r.top()), QPoint(r.center().x(), r.bottom()),
                              QPoint(r.left(), r.center().y()), QPoint(r.right(), r.center().y())}) {
        const QWidget *found = control->parentWidget()->childAt(edge);
        if (found != control && !control->isAncestorOf(found))
            return false;
    }
    return true;
}

bool showsWhole(QWidget *box) {
    const QSize size = box->size();
    const QImage fitted = box->grab().toImage();
    box->resize(size * 3);
    const QImage roomy = box->grab().toImage();
    box->resize(size);
    const QRect ink = inkBounds(roomy, box->palette().color(box->backgroundRole()));
    return !ink.isEmpty() && ink.top() > 0 && QRect(QPoint(), size).contains(ink) &&
           roomy.copy(QRect(QPoint(), size)) == fitted;
}

QStringList libraryShown(const ShownWindow &shown) { return libraryShown(shown.ui); }

QStringList libraryShown(const MainControls &ui) { return ui.List1->items() + ui.Surface->printedLines(); }

QStringList libraryOnDisk(const QString &appDir) {
    PosixFileSystem disk;
    QStringList journals, articles;
    scanFolder(disk, appDir + u"/Journal"_s, ItemText::WithoutLastFour, journals);
    scanFolder(disk, appDir + u"/Example"_s, ItemText::WithoutLastFour, articles);
    const QStringList lines = statistics(int(journals.size()), int(articles.size()));
    return journals + lines;
}

QStringList boxes(const ShownWindow &shown) {
    return {shown.ui.Text3->text(), shown.ui.Text2->text(), shown.ui.Text4->text()};
}

} // namespace varnotel::test
