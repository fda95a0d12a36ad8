#include "support/WindowDriver.h"

#include "library/FolderScanner.h"
#include "mainwindow/CountingList.h"
#include "mainwindow/ListBox.h"
#include "mainwindow/TextBox.h"
#include "support/Expectations.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

namespace varnotel::test {

using namespace Qt::StringLiterals;

namespace {

QPoint middleOf(QAbstractItemView *view, qsizetype row) {
    const QModelIndex index = view->model()->index(static_cast<int>(row), 0);
    if (!index.isValid())
        qFatal("no row %lld to click", static_cast<long long>(row));
    view->scrollTo(index);
    return view->visualRect(index).center();
}

} // namespace

ShownWindow::ShownWindow(const QString &appDir, InputPrompt *prompt, MediaPlayer *player)
    : window(appDir, {seams.fs, seams.starter, player ? *player : seams.player,
                      prompt ? *prompt : seams.prompt, seams.clock, seams.errors}) {
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the main window was not shown");
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

void clickBelowLastRow(QAbstractItemView *view) {
    const int rows = view->model()->rowCount();
    const int below = rows == 0 ? 5 : view->visualRect(view->model()->index(rows - 1, 0)).bottom() + 5;
    if (below >= view->viewport()->height())
        qFatal("the list has no empty area below its last row");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, below));
}

void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

void dropFiles(QAbstractItemView *view, const QStringList &paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QWidget *target = view->viewport();
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        qFatal("the list does not take dropped files");
    QDropEvent dropped(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
}

QRect inkBounds(const QImage &image, const QColor &background) {
    QRect bounds;
    const QRgb paper = background.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != paper)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
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

QStringList libraryShown(const Form1 &window) {
    return window.List1->items() << QString::number(window.List2->listCount()) << window.surfaceLines();
}

QStringList libraryOnDisk(const QString &appDir) {
    PosixFileSystem disk;
    QStringList journals, articles;
    scanFolder(disk, appDir + u"/Journal"_s, ItemText::WithoutLastFour, journals);
    scanFolder(disk, appDir + u"/Example"_s, ItemText::WithoutLastFour, articles);
    const QStringList lines = statistics(int(journals.size()), int(articles.size()));
    return journals << QString::number(articles.size()) << lines;
}

QStringList boxes(const Form1 &window) {
    return {window.Text3->text(), window.Text2->text(), window.Text4->text()};
}

} // namespace varnotel::test
