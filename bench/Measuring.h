#pragma once

#include "mainwindow/widgets/Form1.h"
#include "platform/PosixFileSystem.h"
#include "support/TestDoubles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace varnotel::bench {

double milliseconds(const std::function<void()> &work);
double percentile(std::vector<double> samples, double fraction);
double median(int runs, const std::function<void()> &work);

// find run on the same tree, its output thrown away, as a person would time it.
double findMilliseconds(const QString &workingFolder, const QStringList &arguments);

// The floor: a plain recursive enumeration counting regular files, as
// find -type f does (links are not followed).
qint64 countRegularFiles(const QByteArray &folder);
qint64 peakResidentKiB();

// What the person sees after an action: the posted repaints done.
void paint();

// One window on the catalogue, with the real file system and quiet doubles.
struct Window {
    explicit Window(const QString &appDir)
        : window(appDir, {disk, seams.starter, seams.player, seams.prompt, seams.clock, seams.errors}) {}
    PosixFileSystem disk;
    test::TestPlatform seams;
    Form1 window;
};

struct StartUp {
    double scan;       // Form_Load
    double firstFrame; // Form_Load to the journal list's first painted frame
};

// A fresh window on the catalogue, started and shown.
StartUp startUp(std::unique_ptr<Window> &shown, const QString &appDir);

// Until the watches are all set up, in the slices the window gives them.
double watchesReady(Form1 &window);

} // namespace varnotel::bench
