#include "Measuring.h"

#include "mainwindow/widgets/ListBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>

#include <algorithm>
#include <cmath>

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
