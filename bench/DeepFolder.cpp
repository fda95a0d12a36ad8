#include "DeepFolder.h"

#include "CatalogueGenerator.h"
#include "Measuring.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace varnotel::bench {

using namespace Qt::StringLiterals;

namespace {

constexpr int kRepeats = 40;

int openFolder(int at, const char *name) {
    const int fd = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        qFatal("cannot open a folder of the chain");
    return fd;
}

// The bottom of a chain of folders named "d", each in the last, opened one
// folder at a time: the path soon exceeds what the kernel takes in one call.
int openBottom(const QString &top, int depth, bool make) {
    int fd = openFolder(AT_FDCWD, QFile::encodeName(top).constData());
    for (int level = 0; level < depth; ++level) {
        if (make && ::mkdirat(fd, "d", 0755) != 0)
            qFatal("cannot make the chain");
        const int next = openFolder(fd, "d");
        ::close(fd);
        fd = next;
    }
    return fd;
}

void writeFileIn(int folder, const QByteArray &name) {
    const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        qFatal("cannot write %s", name.constData());
    ::close(fd);
}

// Removed from the bottom up, one folder at a time; QTemporaryDir removes
// the rest.
void removeChain(const QString &top, int depth) {
    int fd = openBottom(top, depth, false);
    DIR *bottom = ::fdopendir(::dup(fd));
    while (const dirent *entry = ::readdir(bottom)) {
        if (entry->d_type == DT_REG)
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(bottom);
    for (int level = 0; level < depth; ++level) {
        const int parent = openFolder(fd, "..");
        ::close(fd);
        if (::unlinkat(parent, "d", AT_REMOVEDIR) != 0)
            qFatal("cannot remove the chain");
        fd = parent;
    }
    ::close(fd);
}

struct Figure {
    const char *key;
    const char *label;
};
constexpr Figure kFigures[] = {
    {"find", "find Journal Example"},
    {"scan", "start-up's scan: Form_Load"},
    {"startup", "start-up: Form_Load to the first painted frame"},
    {"watches", "watches ready, in slices after the first frame"},
    {"recount_same", "RecountLibrary, nothing changed"},
    {"recount_bottom", "RecountLibrary, an article added at the bottom"},
};

} // namespace

int measureDeepFolder(int depth) {
    QTemporaryDir dir;
    const QString appDir = dir.path();
    std::printf("== a folder %d deep in %s\n", depth, qPrintable(appDir));
    const Catalogue catalogue = layOutCatalogue(appDir, 1, 0, 11);
    const QString top = appDir + u"/Example/"_s + catalogue.smallFolders.first();
    const int bottom = openBottom(top, depth, true);
    writeFileIn(bottom, "bottom.pdf");
    ::sync();

    std::map<std::string, double> figures;
    const QStringList trees{u"Journal"_s, u"Example"_s};
    findMilliseconds(appDir, trees); // warms the caches
    // find and start-up take turns, so that both meet the same machine.
    std::vector<double> finds, scans, firstFrames;
    std::unique_ptr<Window> shown;
    for (int run = 0; run < 5; ++run) {
        finds.push_back(findMilliseconds(appDir, trees));
        const StartUp measured = startUp(shown, appDir);
        scans.push_back(measured.scan);
        firstFrames.push_back(measured.firstFrame);
    }
    figures["find"] = percentile(finds, 0.5);
    figures["scan"] = percentile(scans, 0.5);
    figures["startup"] = percentile(firstFrames, 0.5);
    Form1 &w = shown->window;
    figures["watches"] = watchesReady(w);
    w.RecountLibrary(); // the folders the watches found changed since start-up
    std::vector<double> same, added;
    for (int i = 0; i < kRepeats; ++i) {
        same.push_back(milliseconds([&] { w.RecountLibrary(); }));
        writeFileIn(bottom, "added " + QByteArray::number(i) + ".pdf");
        added.push_back(milliseconds([&] { w.RecountLibrary(); }));
    }
    figures["recount_same"] = percentile(same, 0.95);
    figures["recount_bottom"] = percentile(added, 0.95);
    ::close(bottom);
    shown.reset();

    QString row = u"ROW deep %1"_s.arg(depth);
    const double find = figures["find"];
    std::printf("%-58s %9s  %s\n", "", "ms", "/ find");
    for (const Figure &figure : kFigures) {
        const double value = figures[figure.key];
        std::printf("%-58s %9.2f  %.3f\n", figure.label, value, value / find);
        row += u' ' + QString::fromLatin1(figure.key) + u'=' + QString::number(value, 'f', 3);
    }
    std::printf("%s\n", qPrintable(row));
    std::fflush(stdout);
    removeChain(top, depth);
    return 0;
}

} // namespace varnotel::bench
