// Measures how long a whole-library recount takes on a large catalogue:
//   bench_recount [journals] [articles-per-journal]
// It builds the catalogue in a temporary folder, then times the scanners alone
// and the main window's full recount, and prints the peak memory.
#include "library/FolderScanner.h"
#include "library/LibraryPaths.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "platform/PosixFileSystem.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace varnotel;

namespace {

void touch(const QString &path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("\"\"\r\n");
}

void buildCatalogue(const QString &appDir, int journals, int articlesEach) {
    for (const char *folder : {"Journal", "IF", "Homepage", "Notes", "Example"})
        QDir(appDir).mkdir(QLatin1String(folder));
    for (int j = 0; j < journals; ++j) {
        const QString name = QStringLiteral("Journal of Things %1").arg(j, 6, 10, QLatin1Char('0'));
        touch(paths::recordFile(appDir, Record::Journal, name));
        const QString examples = paths::exampleFolder(appDir, name);
        QDir().mkdir(examples);
        for (int a = 0; a < articlesEach; ++a)
            touch(examples + QStringLiteral("/article %1.pdf").arg(a));
    }
}

double millisecondsOf(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int journals = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int articlesEach = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir dir;
    std::printf("building %d journals with %d articles each in %s ...\n", journals, articlesEach,
                qPrintable(dir.path()));
    buildCatalogue(dir.path(), journals, articlesEach);

    PosixFileSystem fs;
    QStringList list1, list2;
    const double scan1 = millisecondsOf(
        [&] { scanFolder(fs, paths::journalFolder(dir.path()), ItemText::WithoutLastFour, list1); });
    const double scan2 = millisecondsOf(
        [&] { scanFolder(fs, paths::exampleRoot(dir.path()), ItemText::WithoutLastFour, list2); });
    std::printf("sosuofile1: %lld journals in %.1f ms\n", static_cast<long long>(list1.size()), scan1);
    std::printf("sosuofile2: %lld articles in %.1f ms\n", static_cast<long long>(list2.size()), scan2);

    test::TestPlatform seams;
    Form1 window(dir.path(), seams.platform());
    const double load = millisecondsOf([&] { window.Form_Load(); });
    const double recount = millisecondsOf([&] { window.RecountLibrary(); });
    std::printf("Form_Load: %.1f ms; RecountLibrary: %.1f ms (%lld journals listed)\n", load, recount,
                static_cast<long long>(window.List1->listCount()));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
