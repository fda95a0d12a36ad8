#include "Measuring.h"

#include "mainwindow/widgets/ListBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <sys/stat.h>

namespace varnotel::bench {

using namespace Qt::StringLiterals;

double milliseconds(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const size_t rank = size_t(std::ceil(fraction * double(samples.size())));
    return samples.at(std::max<size_t>(rank, 1) - 1);
}

double median(int runs, const std::function<void()> &work) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i)
        samples.push_back(milliseconds(work));
    return percentile(samples, 0.5);
}

double findMilliseconds(const QString &workingFolder, const QStringList &arguments) {
    return milliseconds([&] {
        QProcess find;
        find.setWorkingDirectory(workingFolder);
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(u"find"_s, arguments);
        if (!find.waitForFinished(-1) || find.exitCode() != 0)
            qFatal("find failed");
    });
}

void paint() { QCoreApplication::processEvents(); }

qint64 countRegularFiles(const QByteArray &folder) {
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return 0;
    qint64 files = 0;
    std::vector<QByteArray> subfolders;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            ::lstat((folder + '/' + name).constData(), &st);
            type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
        }
        if (type == DT_REG)
            ++files;
        else if (type == DT_DIR)
            subfolders.push_back(folder + '/' + name);
    }
    ::closedir(dir);
    for (const QByteArray &sub : subfolders)
        files += countRegularFiles(sub);
    return files;
}

qint64 peakResidentKiB() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

namespace {

// Stops the clock when the journal list has painted its rows.
class FramePainted : public QObject {
public:
    explicit FramePainted(QWidget *view) { view->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

StartUp startUp(std::unique_ptr<Window> &shown, const QString &appDir) {
    shown.reset(); // the last window's watches end before the next one starts
    shown = std::make_unique<Window>(appDir);
    Form1 &w = shown->window;
    FramePainted frame(w.findChild<ListBox *>(u"List1"_s)->viewport());
    QElapsedTimer timer;
    timer.start();
    w.Form_Load();
    const double scan = double(timer.nsecsElapsed()) / 1e6;
    w.show();
    while (!frame.painted)
        QCoreApplication::processEvents();
    return {scan, double(timer.nsecsElapsed()) / 1e6};
}

double watchesReady(Form1 &window) {
    return milliseconds([&] {
        while (window.settingUpWatches())
            QCoreApplication::processEvents();
    });
}

} // namespace varnotel::bench
