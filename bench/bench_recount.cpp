// Times start-up, the recounts and the interactions of a huge catalogue
// against the file system's floor, all on the same generated tree in one run:
//
//   bench_recount                      the three sizes and two deep folders, each in a process
//                                      of its own, then the tables
//   bench_recount JOURNALS ARTICLES    one size
//   bench_recount deep DEPTH           a folder DEPTH deep, against find on it
//
// Figures of repeated runs are their 95th percentile; start-up and the floor
// are medians. Build it as Release (scripts/bench.sh does).
#include "CatalogueGenerator.h"
#include "DeepFolder.h"
#include "Measuring.h"
#include "mainwindow/widgets/CountingList.h"
#include "mainwindow/widgets/ListBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace varnotel;
using namespace varnotel::bench;
using namespace Qt::StringLiterals;
using namespace std::string_literals;

namespace {

struct Size {
    int journals;
    qint64 articles;
};
constexpr Size kSizes[] = {{2'000, 20'000}, {20'000, 200'000}, {40'000, 400'000}};
constexpr int kDepths[] = {2'000, 20'000};
constexpr int kRepeats = 40;

// The figures of one size, in the order the table shows them.
struct Figure {
    const char *key;
    const char *label;
    bool isTime; // else megabytes
};
constexpr Figure kFigures[] = {
    {"floor", "floor: readdir of Journal and Example, regular files counted", true},
    {"find", "for comparison: find Journal Example -type f", true},
    {"scan", "start-up's scan: Form_Load", true},
    {"startup", "start-up: Form_Load to the first painted frame", true},
    {"watches", "watches ready, in slices after the first frame", true},
    {"recount_same", "RecountLibrary, nothing changed", true},
    {"recount_article", "RecountLibrary, one article added", true},
    {"recount_journal", "RecountLibrary, one journal added", true},
    {"recount_removed", "RecountLibrary, a folder of 1,000 articles removed", true},
    {"key", "a character key in List1", true},
    {"click", "a journal selected with a click", true},
    {"skipto", "a keystroke in the skip-to box Text1", true},
    {"refresh", "Refresh", true},
    {"outside", "a journal added outside, until List1 shows it", true},
    {"burst", "5,000 files written outside at once, until the window has shown them", true},
    {"stall", "the longest the window did not answer during that burst", true},
    {"idle_cpu", "CPU time used over 10 s with nothing changing", true},
    {"asked", "where no watch can tell: every folder asked, once every 2 s", true},
    {"memory", "peak resident memory, catalogue loaded", false},
};
// What the README's table of deep folders shows.
constexpr Figure kDeepFigures[] = {
    {"find", "find Journal Example", true},
    {"startup", "start-up: Form_Load to the first painted frame", true},
    {"watches", "watches ready, in slices after the first frame", true},
    {"recount_same", "RecountLibrary, nothing changed", true},
    {"recount_bottom", "RecountLibrary, an article added at the bottom", true},
};

// The figures of one size: the 95th percentile of repeated ones, with their
// medians beside.
struct Figures {
    std::map<std::string, double> value;
    std::map<std::string, double> median;

    // `prepare` runs untimed before each timed `act`.
    void repeat(const std::string &key, int repeats, const std::function<void(int)> &prepare,
                const std::function<void()> &act) {
        std::vector<double> samples;
        for (int i = 0; i < repeats; ++i) {
            prepare(i);
            samples.push_back(milliseconds(act));
        }
        median[key] = percentile(samples, 0.5);
        value[key] = percentile(samples, 0.95);
    }
};

// A person scrolls to the journal first; the click is what is timed.
void scrollTo(ListBox *list, int row) {
    list->scrollTo(list->model()->index(row, 0));
    paint();
}

void clickRow(ListBox *list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 0)).center());
}

void addJournal(const QString &appDir, const QString &name) {
    for (const QString &folder : {u"Journal"_s, u"IF"_s, u"Homepage"_s, u"Notes"_s}) {
        QFile file(appDir + u'/' + folder + u'/' + name + u".txt"_s);
        if (!file.open(QIODevice::WriteOnly) || file.write("\"\"\r\n") != 4)
            qFatal("cannot add a journal");
    }
    writeArticles(appDir + u"/Example/"_s + name, 0, 0);
}

// Answers events, as the window's own loop does, until `shown` holds; the
// longest single turn of the loop (a recount in it) goes to `stall`.
double untilShown(const std::function<bool()> &shown, double &stall) {
    QElapsedTimer all;
    all.start();
    stall = 0;
    while (!shown()) {
        stall = std::max(stall, milliseconds([] { QCoreApplication::processEvents(QEventLoop::AllEvents); }));
        if (all.elapsed() > 60'000)
            qFatal("the window never showed what changed outside");
    }
    return double(all.nsecsElapsed()) / 1e6;
}

double cpuMilliseconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

// Changes made by other programs while the window runs: a journal added, a
// sync client writing 5,000 files from a thread of its own, and nothing at all.
void measureOutsideChanges(Figures &figures, const QString &appDir, Form1 &w) {
    auto *List1 = w.findChild<ListBox *>(u"List1"_s);
    const auto *List2 = static_cast<const CountingList *>(w.findChild<QWidget *>(u"List2"_s));
    double stall = 0;
    // Each change meets a window at rest, as a person's change in a file
    // manager does: the news of the one before has been shown.
    const auto settle = [](int) { QTest::qWait(50); };
    figures.repeat("outside", 20, settle, [&] {
        const qsizetype before = List1->listCount();
        addJournal(appDir, u"Outside Journal %1"_s.arg(before));
        untilShown([&] { return List1->listCount() == before + 1; }, stall);
    });
    std::vector<double> bursts, stalls;
    for (int i = 0; i < 5; ++i) {
        const qint64 expected = List2->listCount() + 5000;
        std::thread writer([&] { writeArticles(appDir + u"/Example/Burst %1"_s.arg(i), 5000, 0); });
        bursts.push_back(untilShown([&] { return List2->listCount() == expected; }, stall));
        writer.join();
        stalls.push_back(stall);
    }
    figures.value["burst"] = percentile(bursts, 0.95);
    figures.value["stall"] = percentile(stalls, 0.95);
    // The window's own loop, waiting: only the clock lines tick, once a second.
    QEventLoop idle;
    QTimer::singleShot(10'000, &idle, &QEventLoop::quit);
    const double cpuBefore = cpuMilliseconds();
    idle.exec();
    figures.value["idle_cpu"] = cpuMilliseconds() - cpuBefore;
}

// Measures one size and prints its block, then a line the table is made from.
int measure(const Size &size) {
    QTemporaryDir dir;
    const QString appDir = dir.path();
    Figures figures;
    std::printf("== %d journals, %lld articles in %s\n", size.journals, size.articles, qPrintable(appDir));
    Catalogue catalogue;
    const double generated =
        milliseconds([&] { catalogue = layOutCatalogue(appDir, size.journals, size.articles, 11); });
    std::printf("laid out in %.1f s\n", generated / 1000);
    std::fflush(stdout);

    // The catalogue on disk, so that its writing does not slow what is timed.
    ::sync();
    const QByteArray journalRoot = QFile::encodeName(appDir + u"/Journal"_s);
    const QByteArray exampleRoot = QFile::encodeName(appDir + u"/Example"_s);
    qint64 counted = 0;
    const auto enumerate = [&] { counted = countRegularFiles(journalRoot) + countRegularFiles(exampleRoot); };
    enumerate(); // warms the caches, as for start-up after any recent use
    figures.value["find"] = median(3, [&] {
        findMilliseconds(appDir, {u"Journal"_s, u"Example"_s, u"-type"_s, u"f"_s});
    });

    // The floor and start-up take turns, so that both meet the same machine.
    std::unique_ptr<Window> shown;
    std::vector<double> floors;
    std::vector<double> scans;
    std::vector<double> firstFrames;
    for (int run = 0; run < 7; ++run) {
        floors.push_back(milliseconds(enumerate));
        const StartUp measured = startUp(shown, appDir);
        scans.push_back(measured.scan);
        firstFrames.push_back(measured.firstFrame);
    }
    figures.value["floor"] = percentile(floors, 0.5);
    figures.value["scan"] = percentile(scans, 0.5);
    figures.value["startup"] = percentile(firstFrames, 0.5);
    Form1 &w = shown->window;
    // The window's controls, by their names.
    auto *List1 = w.findChild<ListBox *>(u"List1"_s);
    const auto *List2 = static_cast<const CountingList *>(w.findChild<QWidget *>(u"List2"_s));
    auto *Text1 = w.findChild<QLineEdit *>(u"Text1"_s);
    auto *Command10 = w.findChild<QPushButton *>(u"Command10"_s);
    if (List1->listCount() + List2->listCount() != counted || List2->listCount() != catalogue.exampleFiles)
        qFatal("the lists do not count what the floor counts");
    figures.value["watches"] = watchesReady(w);
    figures.value["memory"] = double(peakResidentKiB()) / 1024;
    w.RecountLibrary(); // the folders the watches found changed since start-up

    QRandomGenerator random(7);
    const auto recount = [&] { w.RecountLibrary(); };
    const auto nothing = [](int) {};
    figures.repeat("recount_same", kRepeats, nothing, recount);
    figures.repeat(
        "recount_article", kRepeats,
        [&](int i) {
            const QString folder =
                catalogue.smallFolders.at(random.bounded(int(catalogue.smallFolders.size())));
            writeArticles(appDir + u"/Example/"_s + folder, 1, 100'000 + i);
        },
        recount);
    figures.repeat(
        "recount_journal", kRepeats, [&](int i) { addJournal(appDir, u"Added Journal %1"_s.arg(i)); },
        recount);
    const QString large = appDir + u"/Example/"_s + catalogue.largeFolders.first();
    figures.repeat(
        "recount_removed", 10,
        [&](int i) {
            if (i > 0) {
                writeArticles(large, kLargeFolderArticles, 0);
                w.RecountLibrary();
            }
            QDir(large).removeRecursively();
        },
        recount);
    writeArticles(large, kLargeFolderArticles, 0);
    w.RecountLibrary();

    figures.repeat(
        "key", kRepeats, [&](int) { List1->setFocus(); },
        [&] {
            QTest::keyClick(List1, Qt::Key_J);
            paint();
        });
    int clicked = 0;
    figures.repeat(
        "click", kRepeats,
        [&](int) {
            clicked = int(random.bounded(int(List1->listCount())));
            scrollTo(List1, clicked);
        },
        [&] {
            clickRow(List1, clicked);
            paint();
        });
    figures.repeat(
        "skipto", kRepeats,
        [&](int i) {
            if (i % 8 == 0)
                Text1->clear();
            Text1->setFocus();
        },
        [&] {
            QTest::keyClick(Text1, Qt::Key_N);
            paint();
        });
    figures.repeat("refresh", kRepeats, nothing, [&] {
        QTest::mouseClick(Command10, Qt::LeftButton);
        paint();
    });
    measureOutsideChanges(figures, appDir, w);
    figures.value["memory"] = std::max(figures.value["memory"], double(peakResidentKiB()) / 1024);
    // A second window on the same catalogue, as on a network file system:
    // no folder can be watched, so each interval's recount asks them all.
    test::TestPlatform unwatched;
    unwatched.fs.watchable = false;
    Form1 asked(appDir, unwatched.platform());
    asked.Form_Load();
    figures.repeat("asked", 10, nothing, [&] { asked.RecountLibrary(); });

    const double floor = figures.value["floor"];
    QString row = u"ROW %1 %2"_s.arg(size.journals).arg(size.articles);
    std::printf("%-58s %9s %9s  %s\n", "", "median", "p95", "p95 / floor");
    for (const Figure &figure : kFigures) {
        const double value = figures.value[figure.key];
        if (!figure.isTime)
            std::printf("%-58s %9.1f MB\n", figure.label, value);
        else if (figures.median.count(figure.key))
            std::printf("%-58s %9.2f %9.2f  %.3f\n", figure.label, figures.median[figure.key], value,
                        value / floor);
        else
            std::printf("%-58s %9.2f %9s  %.3f\n", figure.label, value, "", value / floor);
        row += u' ' + QString::fromLatin1(figure.key) + u'=' + QString::number(value, 'f', 3);
    }
    std::printf("%s\n", qPrintable(row));
    std::fflush(stdout);
    return 0;
}

QString cell(double value, double floor, bool isTime, bool isFloor) {
    if (!isTime)
        return u"%1 MB"_s.arg(value, 0, 'f', 0);
    const QString time = value < 10 ? u"%1 ms"_s.arg(value, 0, 'f', 2) : u"%1 ms"_s.arg(value, 0, 'f', 0);
    return isFloor ? time : time + u" (%1×)"_s.arg(value / floor, 0, 'f', value / floor < 0.1 ? 3 : 2);
}

// Runs one measurement in a process of its own, so that each peak memory is
// its own, passing on what it prints: the figures of its ROW line.
std::map<std::string, double> measureInChild(const QString &program, const QStringList &arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, arguments);
    std::map<std::string, double> row;
    while (child.waitForReadyRead(-1) || child.state() == QProcess::Running) {
        while (child.canReadLine()) {
            const QString line = QString::fromUtf8(child.readLine());
            std::printf("%s", qPrintable(line));
            std::fflush(stdout);
            if (!line.startsWith(u"ROW "_s))
                continue;
            for (const QString &pair : line.trimmed().split(u' ').mid(3))
                row[pair.section(u'=', 0, 0).toStdString()] = pair.section(u'=', 1).toDouble();
        }
    }
    if (child.exitCode() != 0 || row.empty())
        qFatal("measuring %s failed", qPrintable(arguments.join(u' ')));
    return row;
}

QString thousands(qint64 number) { return QLocale(QLocale::English).toString(number); }

// Every size and both deep folders, then the tables the README shows.
int measureAll(const QString &program) {
    std::vector<std::map<std::string, double>> rows;
    for (const Size &size : kSizes)
        rows.push_back(
            measureInChild(program, {QString::number(size.journals), QString::number(size.articles)}));
    std::vector<std::map<std::string, double>> deep;
    for (const int depth : kDepths)
        deep.push_back(measureInChild(program, {u"deep"_s, QString::number(depth)}));
    std::printf("\n| journals / articles |");
    for (const Size &size : kSizes)
        std::printf(" %s / %s |", qPrintable(thousands(size.journals)), qPrintable(thousands(size.articles)));
    std::printf("\n|---|---:|---:|---:|\n");
    for (const Figure &figure : kFigures) {
        std::printf("| %s |", figure.label);
        for (const auto &row : rows) {
            const std::string key = figure.key;
            std::printf(" %s |",
                        qPrintable(cell(row.at(key), row.at("floor"), figure.isTime, key == "floor")));
        }
        std::printf("\n");
    }
    std::printf("\n| a folder this deep, against find |");
    for (const int depth : kDepths)
        std::printf(" %s |", qPrintable(thousands(depth)));
    std::printf("\n|---|---:|---:|\n");
    for (const Figure &figure : kDeepFigures) {
        std::printf("| %s |", figure.label);
        for (const auto &row : deep)
            std::printf(" %s |",
                        qPrintable(cell(row.at(figure.key), row.at("find"), true, figure.key == "find"s)));
        std::printf("\n");
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "deep")
        return measureDeepFolder(std::atoi(argv[2]));
    if (argc == 3)
        return measure({std::atoi(argv[1]), std::atoll(argv[2])});
    if (argc != 1) {
        std::fprintf(stderr, "usage: bench_recount [JOURNALS ARTICLES | deep DEPTH]\n");
        return 2;
    }
    return measureAll(QCoreApplication::applicationFilePath());
}
